// SPDX-License-Identifier: MIT
#pragma once

#include "session/session.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QSystemSemaphore>
#include <functional>

class QAction;
class QActionGroup;
class QMenu;
class QMessageBox;

namespace vrako {

class BoardView;
class ChatPanel;
class ChatterSounds;
class ClientConnection;
class ClientGame;
class GameStartDialog;
class HostJoinDialog;
class InviteFriendsWindow;
class PhraseBar;
class SideWindow;
class SoundPlayer;
class SpyList;
class Tabout;
class Tdownload;
class Thelp;
class Tphrases;
class TServer;
class TSock;
class Ttallylist;

// The main window: composes the card table, the chat panel with its phrase buttons, the side
// windows and the menus round the session, which it observes and to which it forwards what the
// user does. It applies and saves the preferences, and saves the tally when it closes.
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
    PhraseBar& phraseBar() { return *m_phraseBar; }
    SpyList* spyList() const { return m_spylist; }
    GameStartDialog* gameStart() const { return m_gamestart; }
    Tphrases* phraseEditor() const { return m_phrases; }
    Ttallylist* tallyList() const { return m_tally; }
    Tdownload* download() const { return m_download; }
    SoundPlayer& sounds() { return *m_sounds; }
    ChatterSounds& chatterSounds() { return *m_chatter; }
    QAction* action(const char* objectName) const;

    // Reads the settings file and applies every preference, when the client is connected.
    void loadinifile();
    // Writes the preferences with the window's present bounds; `chosen` names the ones the
    // player has just set.
    void saveinifile(Preferences::Keys chosen = {});
    // What closing writes: the bounds when they changed, and the tally. Also used when the
    // desktop session asks the program to save.
    void saveOnExit();
    void ResetLocation1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildOptionsMenu(QMenu* options);
    void wireGame();
    void wireSideWindows();
    void syncMenus();
    void showHosting(bool hosting);
    void showMessage(const QString& text, bool closeAfter);
    // The box that counts down while the lost connection is tried again; Cancel gives up.
    void showReconnecting(int secondsLeft);
    void dismissReconnecting();
    // A failure the player can get past: the text, the socket's report underneath, and one
    // button per way on (caption, object name, what it does).
    struct WayOn {
        QString caption;
        const char* name;
        std::function<void()> take;
    };
    void offerWaysOn(const QString& text, const QString& report, const QList<WayOn>& ways);
    void chooseTextColour();
    void chooseTextSize(int points);
    void showTextSize(int points);
    void showBotSpeed(int ms);
    // Opens "Host or Join a Game..." with the remembered name and address.
    HostJoinDialog* hostOrJoin();
    void inviteFriends();
    void placeOnDesktop(const WindowBounds& bounds);
    // A window size brought within the screen's work area (and no smaller than the minimum).
    QSize fittedToScreen(QSize size) const;
    // The window round the board at scale 1 and its small frame.
    QSize designWindowSize() const;
    // Places the phrase buttons and the chat below the table for the board's size and scale.
    void layOutChat();

    QSystemSemaphore m_lock;
    Session* m_session = nullptr;
    BoardView* m_board = nullptr;
    ChatPanel* m_chat = nullptr;
    PhraseBar* m_phraseBar = nullptr;
    SoundPlayer* m_sounds = nullptr;
    ChatterSounds* m_chatter = nullptr;
    QWidget* m_clientArea = nullptr;
    bool m_paramsRead = false;
    bool m_closeAfterMessage = false;
    // The player closed the window: the game's end that follows needs no explaining.
    bool m_closing = false;
    QPointer<QMessageBox> m_reconnectBox;

    QList<QWidget*> m_windows;
    Tabout* m_about = nullptr;
    Thelp* m_help = nullptr;
    SideWindow* m_serverWindow = nullptr;
    SpyList* m_spylist = nullptr;
    Tphrases* m_phrases = nullptr;
    Ttallylist* m_tally = nullptr;
    GameStartDialog* m_gamestart = nullptr;
    Tdownload* m_download = nullptr;

    QAction* m_startGame = nullptr;
    QAction* m_inviteFriends = nullptr;
    InviteFriendsWindow* m_invite = nullptr;
    QAction* m_portMapping = nullptr;
    QAction* m_justWatch = nullptr;
    QAction* m_playSounds = nullptr;
    QAction* m_playChatter = nullptr;
    QAction* m_autoSort = nullptr;
    QActionGroup* m_turnSound = nullptr;
    QActionGroup* m_botSpeed = nullptr;
    QList<QAction*> m_textSizes;
};

} // namespace vrako
