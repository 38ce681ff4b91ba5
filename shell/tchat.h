// SPDX-License-Identifier: MIT
#pragma once

#include "session/session.h"

#include <QMainWindow>
#include <QStringList>
#include <QSystemSemaphore>

class QAction;
class QActionGroup;
class QMenu;

namespace vrako {

class BoardView;
class ChatPanel;
class ClientConnection;
class ClientGame;
class GameStartDialog;
class SideWindow;
class SoundPlayer;
class SpyList;
class TServer;
class TSock;

// The main window: composes the card table, the chat panel, the side windows and the menus
// round the session, which it observes and to which it forwards what the user does.
class Tchat : public QMainWindow {
    Q_OBJECT
public:
    explicit Tchat(const ProgramSettings& settings = ProgramSettings::fromEnvironment(),
                   QWidget* parent = nullptr);
    ~Tchat() override;

    // Creates the eight secondary windows, in order, after the main window exists.
    void createSideWindows();
    // Reads the arguments (without the program name) once and lets the session take the role
    // they name; the side windows must exist by then.
    void processparams(const QStringList& args);

    Session& session() { return *m_session; }
    ClientGame& game() { return m_session->game(); }
    ClientConnection& connection() { return m_session->connection(); }
    TServer* server() const { return m_session->server(); }
    TSock* lobbySocket() const { return m_session->lobbySocket(); }
    QString hostaddress() const { return m_session->hostaddress(); }
    BoardView& board() { return *m_board; }
    ChatPanel& chat() { return *m_chat; }
    SpyList* spyList() const { return m_spylist; }
    GameStartDialog* gameStart() const { return m_gamestart; }
    SoundPlayer& sounds() { return *m_sounds; }
    QAction* action(const char* objectName) const;

    void ResetLocation1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void wireGame();
    void syncMenus();
    void showHosting(bool hosting);
    void showMessage(const QString& text, bool closeAfter);
    void chooseTextColour();

    QSystemSemaphore m_lock;
    Session* m_session = nullptr;
    BoardView* m_board = nullptr;
    ChatPanel* m_chat = nullptr;
    SoundPlayer* m_sounds = nullptr;
    QWidget* m_clientArea = nullptr;
    bool m_paramsRead = false;
    bool m_closeAfterMessage = false;

    QList<SideWindow*> m_windows;
    SideWindow* m_about = nullptr;
    SideWindow* m_help = nullptr;
    SideWindow* m_serverWindow = nullptr;
    SpyList* m_spylist = nullptr;
    SideWindow* m_phrases = nullptr;
    SideWindow* m_tally = nullptr;
    GameStartDialog* m_gamestart = nullptr;
    SideWindow* m_download = nullptr;

    QAction* m_startGame = nullptr;
    QAction* m_justWatch = nullptr;
    QActionGroup* m_botSpeed = nullptr;
};

} // namespace vrako
