// SPDX-License-Identifier: MIT
#pragma once

#include "session/programsettings.h"

#include <QObject>
#include <QStringList>
#include <memory>

namespace vrako {

class ClientConnection;
class ClientGame;
class TServer;
class TSock;

// One run of the game without its windows: the role taken from the command line, the game
// server when this copy hosts, the client's connection and game state, and the idle lobby
// socket. The main window observes it and forwards what the user does.
class Session : public QObject {
    Q_OBJECT
public:
    explicit Session(const ProgramSettings& settings, QObject* parent = nullptr);
    ~Session() override;

    const ProgramSettings& settings() const { return m_settings; }
    ClientGame& game() { return *m_game; }
    ClientConnection& connection() { return *m_conn; }
    TServer* server() const { return m_server; }
    TSock* lobbySocket() const { return m_lobby.get(); }
    QString hostaddress() const { return m_hostaddress; }
    bool hosting() const;

    // Reads the arguments (without the program name) and takes the role they name: none for a
    // solo game, else a name, a host address and "true" to join.
    void processparams(const QStringList& args);
    // Starts our own server and joins it; a port that cannot be had is reported, no role taken.
    void hostpress();
    // Joins the game at hostaddress().
    void joinpress();
    // The computer players' delay in the game this copy hosts, now and for a server yet to come.
    void setBotSpeed(int ms);
    int botSpeed() const { return m_botSpeed; }

signals:
    // A line for the chat log, in a 0x00BBGGRR colour.
    void systemLine(const QString& text, quint32 colour);
    // A solo game began; the window tells the player about the lobby.
    void soloStarted();
    void hostingChanged(bool hosting);
    // Something the player must read in a message box.
    void messageWanted(const QString& text);
    // The connection to the game is gone, every message before the close handled.
    void connectionClosed();

private:
    void openLobbyConnection();

    ProgramSettings m_settings;
    ClientGame* m_game;
    ClientConnection* m_conn;
    TServer* m_server = nullptr;
    std::unique_ptr<TSock> m_lobby;
    QString m_hostaddress;
    int m_botSpeed = 1000;
};

} // namespace vrako
