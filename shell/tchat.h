// SPDX-License-Identifier: MIT
#pragma once

#include "client/clientgame.h"
#include "net/tsock.h"

#include <QMainWindow>
#include <QStringList>
#include <QSystemSemaphore>
#include <memory>

class QAction;
class QActionGroup;
class QMenu;

namespace vrako {

class BoardView;
class ChatPanel;
class ClientConnection;
class GameStartDialog;
class SideWindow;
class SoundPlayer;
class SpyList;
class TServer;

// Ports and folders the program uses; the environment may move them so copies run side by side.
struct ProgramSettings {
    quint16 port = 7772;
    quint16 lobbyPort = 9001;
    // The folder of the settings file and the tally file.
    QString home;
    static ProgramSettings fromEnvironment();
};

// The main window: composes the card table, the chat panel and the menus, chooses the role from
// the command line and owns the client's connection (and, when hosting, the game server).
class Tchat : public QMainWindow {
    Q_OBJECT
public:
    explicit Tchat(const ProgramSettings& settings = ProgramSettings::fromEnvironment(),
                   QWidget* parent = nullptr);
    ~Tchat() override;

    // Creates the eight secondary windows, in order, after the main window exists.
    void createSideWindows();
    // Reads the arguments (without the program name) and takes the role they name.
    void processparams(const QStringList& args);

    ClientGame& game() { return *m_game; }
    ClientConnection& connection() { return *m_conn; }
    BoardView& board() { return *m_board; }
    ChatPanel& chat() { return *m_chat; }
    TServer* server() const { return m_server; }
    TSock* lobbySocket() const { return m_lobby.get(); }
    SpyList* spyList() const { return m_spylist; }
    GameStartDialog* gameStart() const { return m_gamestart; }
    SoundPlayer& sounds() { return *m_sounds; }
    QString hostaddress() const { return m_hostaddress; }
    QAction* action(const char* objectName) const;

    void hostpress();
    void joinpress();
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
    void openLobbyConnection();
    void showMessage(const QString& text, bool closeAfter);
    void chooseTextColour();

    ProgramSettings m_settings;
    QSystemSemaphore m_lock;
    ClientGame* m_game = nullptr;
    ClientConnection* m_conn = nullptr;
    BoardView* m_board = nullptr;
    ChatPanel* m_chat = nullptr;
    SoundPlayer* m_sounds = nullptr;
    QWidget* m_clientArea = nullptr;
    std::unique_ptr<TSock> m_lobby;
    TServer* m_server = nullptr;
    QString m_hostaddress;
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
