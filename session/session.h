// SPDX-License-Identifier: MIT
#pragma once

#include "session/programsettings.h"
#include "store/preferences.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

namespace vrako {

class ClientConnection;
class ClientGame;
class PortMapper;
class TServer;
class TSock;
class TableAnnouncer;
class TallyBook;

// One run of the game without its windows: the role taken from the command line, the game
// server when this copy hosts, the client's connection and game state, the idle lobby socket,
// the user's preferences and the tally. The main window observes it and forwards what the
// user does.
class Session : public QObject {
    Q_OBJECT
public:
    explicit Session(const ProgramSettings& settings, QObject* parent = nullptr);
    ~Session() override;

    const ProgramSettings& settings() const { return m_settings; }
    // Without a data folder nothing is read or written (copies made for tests).
    bool persists() const { return !m_settings.home.isEmpty(); }
    ClientGame& game() { return *m_game; }
    ClientConnection& connection() { return *m_conn; }
    TServer* server() const { return m_server; }
    TSock* lobbySocket() const { return m_lobby.get(); }
    QString hostaddress() const { return m_hostaddress; }
    bool hosting() const;
    // The announcement of the table on the local network, while this copy hosts a game for
    // others (never a solo game).
    TableAnnouncer* announcer() const { return m_announcer.get(); }
    // Asks the home router to forward the game port while this copy hosts for others; none
    // while that is switched off or nobody can join.
    PortMapper* portMapper() const { return m_portMapper.get(); }
    // The invite links to the hosted table: this computer's addresses, then the router's
    // address on the internet once the router forwards the port.
    QStringList inviteLinks() const;

    // The preferences in force; the settings file is read when the client is connected.
    Preferences& preferences() { return m_prefs; }
    QString settingsPath() const;
    // Reads the settings file into preferences(), keeping what the player chose in this run;
    // false when it exists but cannot be read.
    bool loadinifile();
    bool preferencesRead() const { return m_prefsRead; }
    // What the settings file holds now (the preferences in force once the file was read).
    Preferences storedPreferences() const;
    // Writes preferences() to the settings file (the phrases only through savePhrases()).
    // `chosen` names the preferences the player has just set. Before the file was read only
    // what the player chose since the start is written, so the built-in values never replace
    // the stored ones.
    bool saveinifile(Preferences::Keys chosen = {});
    bool savePhrases(Preferences::Keys chosen = {});

    TallyBook& tally() { return *m_tally; }
    QString tallyPath() const;
    // Reads the tally file; a damaged one is moved aside and reported as a chat line.
    void loadTally();
    bool saveTally();

    // Reads the arguments (without the program name) and takes the role they name: none for a
    // solo game, else a name, a host address and "true" to join, and optionally the port of the
    // game to join. A lone invite link (vrako://HOST[:PORT]) takes no role but asks the window
    // to offer the join (inviteOpened) or says what is wrong with it (inviteRejected). Other
    // command lines of one or two arguments take no role; the player is told how to start, in
    // the chat and on standard error.
    void processparams(const QStringList& args);
    // Starts our own server and joins it. A solo game whose port is taken hosts on a free port
    // (nobody needs to find it); a host whose port is taken takes no role and reports portBusy.
    void hostpress();
    // Joins the game at hostaddress() (on the port the command line named, or the game port).
    void joinpress();
    // The ways on from a taken game port: join the game on it at this computer under the same
    // name, or play a solo game instead.
    void joinBusyPort();
    void playSolo();
    // Tries again the connection whose attempt failed.
    void retryConnection();
    // A joiner whose connection to the host is lost tries again every retryMs for up to
    // limitMs, under the same name.
    static constexpr int kReconnectRetryMs = 2000;
    static constexpr int kReconnectLimitMs = 60000;
    void setReconnectTiming(int retryMs, int limitMs);
    bool isReconnecting() const { return m_reconnecting; }
    // The player gives up waiting for the connection to come back.
    void cancelReconnect();
    // Starts another copy of the program through `start` (which says whether it started) and
    // frees the game port first, so a new copy that hosts can listen on it; when the start
    // fails this copy listens again.
    bool handOver(const std::function<bool()>& start);
    // The computer players' delay in the game this copy hosts, now and for a server yet to come.
    void setBotSpeed(int ms);
    int botSpeed() const { return m_prefs.botSpeed; }
    // Whether the router is asked to forward the game port; switching it off removes the
    // forwarding, switching it on while hosting asks for it.
    void setPortMapping(bool on);

signals:
    // A line for the chat log, in a 0x00BBGGRR colour.
    void systemLine(const QString& text, quint32 colour);
    // A solo game began; the window tells the player about the lobby.
    void soloStarted();
    void hostingChanged(bool hosting);
    // Something the player must read in a message box.
    void messageWanted(const QString& text);
    // A host could not have its game port: what to tell the player, and the socket's report.
    void portBusy(const QString& text, const QString& report);
    // The connection to the game could not be made: what it means, and the socket's report.
    void connectFailed(const QString& text, const QString& report);
    // The game is over for this copy (the host ended it, the connection broke, the host removed
    // this player), every message before it handled; why, in words.
    void gameEnded(const QString& why);
    // The connection to the host was lost and is being made again; the seconds left to try.
    void reconnecting(int secondsLeft);
    // The connection came back and the player is logged in again.
    void reconnected();
    // The command line was an invite link to the game at host, port: the player confirms.
    void inviteOpened(const QString& host, quint16 port);
    // The command line was an invite link that names no game; what is wrong with it.
    void inviteRejected(const QString& why);
    // The router forwards the game port; inviteLinks() now has the link from the internet.
    void portMapped();

private:
    void startSolo();
    void openConnection(const QString& host, quint16 port);
    void end(const QString& why);
    void connectionEnded(bool closedInOrder);
    void startReconnect();
    // Tries again after the retry interval, unless the time is up.
    void scheduleReconnect();
    void stopReconnect();
    int reconnectSecondsLeft() const;
    void openLobbyConnection();
    // Announces the table this copy hosts for others, and keeps the announcement current.
    void announceTable();
    // Starts or stops the router's forwarding of the game port to match the preference and
    // whether others can join.
    void updatePortMapping();
    // The preferences to write: those in force, or before the file was read the stored ones
    // with the user's changes.
    Preferences preferencesToSave() const;

    ProgramSettings m_settings;
    ClientGame* m_game;
    ClientConnection* m_conn;
    TServer* m_server = nullptr;
    std::unique_ptr<TSock> m_lobby;
    std::unique_ptr<TableAnnouncer> m_announcer;
    std::unique_ptr<PortMapper> m_portMapper;
    // The player hears once per run that the router did not open the port.
    bool m_portFailureTold = false;
    Preferences m_prefs;
    // The preferences the player chose in this run: they win over the file's values.
    Preferences::Keys m_chosen;
    bool m_prefsRead = false;
    TallyBook* m_tally;
    QString m_hostaddress;
    bool m_solo = false;
    // Where the client connects (our own server's port when hosting).
    QString m_connectHost;
    quint16 m_connectPort = 0;
    // The port joinpress() connects to.
    quint16 m_joinPort;
    // Told once: a full game, a removal or the close that follows them ends nothing more.
    bool m_ended = false;
    // Coming back after a lost connection: the tries, the minute's end and the countdown.
    bool m_reconnecting = false;
    // A rejoin that found the seat or the game still taken: its end is no news.
    bool m_attemptDropped = false;
    int m_refusals = 0;
    int m_retryMs = kReconnectRetryMs;
    int m_limitMs = kReconnectLimitMs;
    QTimer m_retryTimer;
    QTimer m_limitTimer;
    QTimer m_countdown;
    QDeadlineTimer m_deadline;
};

} // namespace vrako
