// SPDX-License-Identifier: MIT
#include "session/session.h"

#include "client/clientconnection.h"
#include "client/clientgame.h"
#include "server/serverlogic.h"
#include "server/tserver.h"
#include "windows/tallybook.h"

#include <QDir>
#include <QRandomGenerator>

namespace vrako {

Session::Session(const ProgramSettings& settings, QObject* parent)
    : QObject(parent), m_settings(settings), m_game(new ClientGame(this)),
      m_conn(new ClientConnection(this)), m_tally(new TallyBook(this)) {
    connect(m_conn, &ClientConnection::messageReceived, m_game,
            [this](const std::string& m) { m_game->dispatch(m); });
    connect(m_game, &ClientGame::sendRequested, m_conn, &ClientConnection::send);
    connect(m_conn, &ClientConnection::socketClosed, this, &Session::connectionClosed);
    connect(m_conn, &ClientConnection::errorReported, this, [this](const QString& message) {
        if (!m_game->loggedin())
            emit systemLine(QStringLiteral("Cannot connect to the game: ") + message,
                            ClientGame::kBlue);
    });
}

Session::~Session() = default;

bool Session::hosting() const {
    return m_game->hosting();
}

QString Session::settingsPath() const {
    return Preferences::filePath(m_settings.home);
}

bool Session::loadinifile() {
    if (!persists())
        return false;
    const Preferences mine = m_prefs;
    const bool ok = m_prefs.loadFrom(settingsPath());
    // An option chosen before the read stays chosen, also when its value is the built-in one
    // and the file holds another.
    m_prefs.takeChanges(mine, m_chosen);
    m_prefsRead = m_prefsRead || ok;
    if (m_server)
        m_server->setBotSpeed(m_prefs.botSpeed);
    return ok;
}

Preferences Session::storedPreferences() const {
    if (m_prefsRead || !persists())
        return m_prefs;
    Preferences stored;
    stored.loadFrom(settingsPath());
    return stored;
}

Preferences Session::preferencesToSave() const {
    if (m_prefsRead)
        return m_prefs;
    Preferences merged = storedPreferences();
    merged.takeChanges(m_prefs, m_chosen);
    return merged;
}

bool Session::saveinifile(Preferences::Keys chosen) {
    m_chosen |= chosen;
    if (!persists())
        return false;
    QDir().mkpath(m_settings.home);
    return preferencesToSave().saveTo(settingsPath());
}

bool Session::savePhrases(Preferences::Keys chosen) {
    m_chosen |= chosen;
    if (!persists())
        return false;
    QDir().mkpath(m_settings.home);
    return preferencesToSave().savePhrasesTo(settingsPath());
}

QString Session::tallyPath() const {
    return QDir(m_settings.home).filePath(TallyBook::fileName());
}

void Session::loadTally() {
    if (!persists())
        return;
    QString note;
    const TallyBook::LoadResult result = m_tally->load(tallyPath(), &note);
    if (result == TallyBook::LoadResult::Damaged || result == TallyBook::LoadResult::Unreadable)
        emit systemLine(note, ClientGame::kBlue);
}

bool Session::saveTally() {
    if (!persists())
        return false;
    QDir().mkpath(m_settings.home);
    return m_tally->save(tallyPath());
}

void Session::processparams(const QStringList& args) {
    m_game->setHosting(false);
    emit hostingChanged(false);
    if (args.isEmpty()) {
        emit systemLine(QStringLiteral("Loading Solo Game..Please wait."), ClientGame::kBlue);
        emit soloStarted();
        m_hostaddress = QStringLiteral("127.0.0.1");
        m_game->setPlayerName(QStringLiteral("You"));
        hostpress();
        return;
    }
    emit systemLine(QStringLiteral("Loading Multi-player Game.. Please Wait."), ClientGame::kBlue);
    if (args.size() < 3)
        return;
    // The server would replace these in the login; the name we send in requests must match.
    m_game->setPlayerName(
        QString::fromStdString(ServerLogic::cleanName(args[0].toUtf8().toStdString())));
    m_hostaddress = args[1];
    if (args[2] == QLatin1String("true"))
        joinpress();
    else
        hostpress();
    openLobbyConnection();
}

void Session::hostpress() {
    if (!m_server) {
        m_server = new TServer(QRandomGenerator::system()->generate64(), this);
        m_server->setBotSpeed(m_prefs.botSpeed);
    }
    try {
        m_server->listen(m_settings.port);
    } catch (const ESockException& e) {
        // Without our own server there is nothing to host: say why and take no role.
        emit messageWanted(QString::fromUtf8(e.what()));
        return;
    }
    m_game->setHosting(true);
    // Our own server: with port 0 the system chose the port it listens on.
    m_conn->open(QStringLiteral("127.0.0.1"),
                 m_server->port() ? m_server->port() : m_settings.port);
    emit hostingChanged(true);
}

void Session::joinpress() {
    m_conn->open(m_hostaddress, m_settings.port);
    m_game->setHosting(false);
    emit hostingChanged(false);
}

bool Session::handOver(const std::function<bool()>& start) {
    const quint16 port = m_server ? m_server->port() : 0;
    if (port != 0)
        m_server->stopListening();
    if (start())
        return true;
    if (port != 0) {
        try {
            m_server->listen(port);
        } catch (const ESockException& e) {
            emit messageWanted(QString::fromUtf8(e.what()));
        }
    }
    return false;
}

void Session::setBotSpeed(int ms) {
    m_prefs.botSpeed = ms;
    if (m_server)
        m_server->setBotSpeed(ms);
}

void Session::openLobbyConnection() {
    // Only tells the lobby that a game runs: nothing is sent or read, failures go unnoticed.
    m_lobby = std::make_unique<TSock>();
    // Whatever the lobby might send is not for us; it must not pile up either.
    connect(m_lobby.get(), &TSock::OnRead, this, [this] { m_lobby->Receive(); });
    try {
        m_lobby->setHostName(QStringLiteral("127.0.0.1"));
        m_lobby->setPortName(QString::number(m_settings.lobbyPort));
        m_lobby->Open();
    } catch (const ESockException&) {
    }
}

} // namespace vrako
