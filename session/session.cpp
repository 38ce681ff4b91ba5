// SPDX-License-Identifier: MIT
#include "session/session.h"

#include "game/clientconnection.h"
#include "game/clientgame.h"
#include "net/invitelink.h"
#include "net/portmapper.h"
#include "net/tableannouncer.h"
#include "server/serverlogic.h"
#include "server/tablestatus.h"
#include "server/tserver.h"
#include "store/tallybook.h"

#include <QDir>
#include <QRandomGenerator>
#include <cstdio>

namespace vrako {

Session::Session(const ProgramSettings& settings, QObject* parent)
    : QObject(parent), m_settings(settings), m_game(new ClientGame(this)),
      m_conn(new ClientConnection(this)), m_tally(new TallyBook(this)), m_joinPort(settings.port) {
    connect(m_conn, &ClientConnection::messageReceived, m_game,
            [this](const std::string& m) { m_game->dispatch(m); });
    connect(m_game, &ClientGame::sendRequested, m_conn, &ClientConnection::send);
    connect(m_conn, &ClientConnection::socketClosed, this, [this](ClientConnection::Ending e) {
        connectionEnded(e == ClientConnection::Ending::Closed);
    });
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, [this] {
        m_attemptDropped = false;
        m_conn->open(m_connectHost, m_connectPort);
    });
    m_limitTimer.setSingleShot(true);
    m_limitTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_limitTimer, &QTimer::timeout, this,
            [this] { end(QStringLiteral("The connection to the host was lost.")); });
    m_countdown.setInterval(1000);
    connect(&m_countdown, &QTimer::timeout, this,
            [this] { emit reconnecting(reconnectSecondsLeft()); });
    connect(m_game, &ClientGame::seatNotFree, this, [this] {
        // Our seat is still taken by the connection that died; it is freed within the minute.
        m_attemptDropped = true;
        m_conn->sock().Close();
        scheduleReconnect();
    });
    connect(m_game, &ClientGame::loggedIn, this, [this] {
        if (!m_reconnecting)
            return;
        stopReconnect();
        emit systemLine(QStringLiteral("Reconnected."), ClientGame::kGrey);
        emit reconnected();
    });
    connect(m_game, &ClientGame::closeRequested, this,
            [this] { end(QStringLiteral("The host removed you from the game.")); });
    // The window tells of a full game itself; the close that follows says nothing more. While
    // coming back, the host may still count the connection that died: try again later.
    connect(m_game, &ClientGame::gameFull, this, [this] {
        if (m_reconnecting)
            m_attemptDropped = true;
        else
            m_ended = true;
    });
    connect(m_conn, &ClientConnection::connectFailed, this,
            [this](ClientConnection::Failure failure, const QString& report) {
                if (m_ended)
                    return; // an attempt still under way when the run ended
                const QString where =
                    QStringLiteral("%1, port %2").arg(m_connectHost).arg(m_connectPort);
                QString text;
                switch (failure) {
                case ClientConnection::Failure::Refused:
                    text = QStringLiteral("Nobody is hosting a game at ") + where +
                           QStringLiteral(". Is the host's game running?");
                    break;
                case ClientConnection::Failure::Unreachable:
                    text = m_connectHost +
                           QStringLiteral(" cannot be reached: a network or firewall problem.");
                    break;
                case ClientConnection::Failure::UnknownHost:
                    text = QStringLiteral("No computer named ") + m_connectHost +
                           QStringLiteral(" was found.");
                    break;
                case ClientConnection::Failure::Other:
                    text =
                        QStringLiteral("Cannot connect to the game at ") + where + QLatin1Char('.');
                    break;
                }
                if (m_reconnecting) {
                    // A host that refuses three times in a row has ended its game.
                    m_refusals = failure == ClientConnection::Failure::Refused ? m_refusals + 1 : 0;
                    if (m_refusals >= 3)
                        end(QStringLiteral("The connection to the host was lost."));
                    else
                        scheduleReconnect();
                    return;
                }
                emit systemLine(text, ClientGame::kBlue);
                emit systemLine(QStringLiteral("Cannot connect to the game: ") + report,
                                ClientGame::kBlue);
                emit connectFailed(text, report);
            });
}

// The router's forwarding goes first: it is removed while the server still listens.
Session::~Session() {
    m_portMapper.reset();
}

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
    updatePortMapping();
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
        startSolo();
        return;
    }
    if (args.size() == 1 && looksLikeInviteLink(args[0])) {
        const ParsedInviteLink link = parseInviteLink(args[0]);
        if (link.target)
            emit inviteOpened(link.target->host, link.target->port);
        else
            emit inviteRejected(link.error);
        return;
    }
    emit systemLine(QStringLiteral("Loading Multi-player Game.. Please Wait."), ClientGame::kBlue);
    if (args.size() < 3) {
        // The loading line alone would leave the player waiting for nothing.
        const QString usage =
            QStringLiteral("To play, start Vrako with vrako NAME HOST true|false (true joins the "
                           "game at HOST, false hosts one), with an invite link "
                           "(vrako://HOST:PORT), or with no arguments for a solo game.");
        emit systemLine(usage, ClientGame::kBlue);
        std::fprintf(stderr, "vrako: %s\n", qPrintable(usage));
        return;
    }
    // The server would replace these in the login; the name we send in requests must match.
    m_game->setPlayerName(
        QString::fromStdString(ServerLogic::cleanName(args[0].toUtf8().toStdString())));
    m_hostaddress = args[1];
    // A table found on the network or named by an invite link may use another port.
    bool portOk = false;
    const uint port = args.value(3).toUInt(&portOk);
    if (portOk && port >= 1 && port <= 65535)
        m_joinPort = quint16(port);
    if (args[2] == QLatin1String("true"))
        joinpress();
    else
        hostpress();
    openLobbyConnection();
}

void Session::startSolo() {
    m_solo = true;
    emit systemLine(QStringLiteral("Loading Solo Game..Please wait."), ClientGame::kBlue);
    emit soloStarted();
    m_hostaddress = QStringLiteral("127.0.0.1");
    m_game->setPlayerName(QStringLiteral("You"));
    hostpress();
}

void Session::hostpress() {
    if (!m_server) {
        m_server = new TServer(QRandomGenerator::system()->generate64(), this);
        m_server->setBotSpeed(m_prefs.botSpeed);
    }
    try {
        m_server->listen(m_settings.port);
    } catch (const ESockException& e) {
        const QString report = QString::fromUtf8(e.what());
        if (!m_solo) {
            // Without our own server there is nothing to host: say why and take no role yet.
            delete m_server;
            m_server = nullptr;
            emit portBusy(QStringLiteral("Port %1 is already in use, probably by another Vrako "
                                         "on this computer.")
                              .arg(m_settings.port),
                          report);
            return;
        }
        // Nobody is told to join a solo game, so any free port serves.
        try {
            m_server->listen(0);
        } catch (const ESockException& again) {
            emit messageWanted(QString::fromUtf8(again.what()));
            return;
        }
        emit systemLine(QStringLiteral("Port %1 is already in use; this solo game uses port %2.")
                            .arg(m_settings.port)
                            .arg(m_server->port()),
                        ClientGame::kBlue);
    }
    m_game->setHosting(true);
    if (!m_solo) {
        announceTable();
        updatePortMapping();
    }
    // Our own server: with port 0 the system chose the port it listens on.
    openConnection(QStringLiteral("127.0.0.1"),
                   m_server->port() ? m_server->port() : m_settings.port);
    emit hostingChanged(true);
}

void Session::joinpress() {
    openConnection(m_hostaddress, m_joinPort);
    m_game->setHosting(false);
    emit hostingChanged(false);
}

void Session::joinBusyPort() {
    m_hostaddress = QStringLiteral("127.0.0.1");
    m_joinPort = m_settings.port;
    joinpress();
}

void Session::playSolo() {
    // The lobby is only told of games others can join.
    m_lobby.reset();
    startSolo();
}

void Session::retryConnection() {
    if (!m_connectHost.isEmpty())
        openConnection(m_connectHost, m_connectPort);
}

void Session::openConnection(const QString& host, quint16 port) {
    m_connectHost = host;
    m_connectPort = port;
    m_conn->open(host, port);
}

void Session::end(const QString& why) {
    if (m_ended)
        return;
    m_ended = true;
    if (m_reconnecting) {
        stopReconnect();
        m_conn->sock().Close(); // an attempt under way ends with the run
    }
    emit gameEnded(why);
}

void Session::connectionEnded(bool closedInOrder) {
    if (m_ended)
        return;
    if (m_attemptDropped) {
        m_attemptDropped = false;
        scheduleReconnect();
        return;
    }
    if (closedInOrder) {
        end(QStringLiteral("The host has ended the game."));
        return;
    }
    if (m_reconnecting) {
        scheduleReconnect();
        return;
    }
    // Only a joiner who was in the game comes back by itself; the own server does not vanish.
    if (!m_game->hosting() && !m_solo && m_game->loggedin()) {
        startReconnect();
        return;
    }
    end(QStringLiteral("The connection to the host was lost."));
}

void Session::setReconnectTiming(int retryMs, int limitMs) {
    m_retryMs = retryMs;
    m_limitMs = limitMs;
}

void Session::startReconnect() {
    m_reconnecting = true;
    m_refusals = 0;
    m_game->prepareRejoin();
    m_deadline.setRemainingTime(m_limitMs);
    m_limitTimer.start(m_limitMs);
    m_countdown.start();
    emit reconnecting(reconnectSecondsLeft());
    scheduleReconnect();
}

void Session::scheduleReconnect() {
    if (m_reconnecting && !m_ended)
        m_retryTimer.start(m_retryMs);
}

void Session::stopReconnect() {
    m_reconnecting = false;
    m_retryTimer.stop();
    m_limitTimer.stop();
    m_countdown.stop();
}

int Session::reconnectSecondsLeft() const {
    if (!m_reconnecting)
        return 0;
    return int((m_deadline.remainingTime() + 999) / 1000);
}

void Session::cancelReconnect() {
    if (m_reconnecting)
        end(QStringLiteral("The connection to the host was lost."));
}

bool Session::handOver(const std::function<bool()>& start) {
    const quint16 port = m_server ? m_server->port() : 0;
    if (port != 0)
        m_server->stopListening();
    // The new copy may host and announce a table under the same name.
    const bool announced = m_announcer != nullptr;
    m_announcer.reset();
    // The new copy asks the router for the same port.
    m_portMapper.reset();
    if (start())
        return true;
    if (port != 0) {
        try {
            m_server->listen(port);
            if (announced) {
                announceTable();
                updatePortMapping();
            }
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

void Session::setPortMapping(bool on) {
    m_prefs.upnp = on;
    m_chosen |= Preferences::Upnp;
    updatePortMapping();
}

void Session::updatePortMapping() {
    // Before the settings file is read, its choice (or the player's since the start) counts.
    const bool wanted = m_announcer && preferencesToSave().upnp &&
                        (m_settings.searchRouter || !m_settings.upnpUrl.isEmpty());
    if (!wanted) {
        m_portMapper.reset();
        return;
    }
    if (m_portMapper)
        return;
    m_portMapper = std::make_unique<PortMapper>();
    m_portMapper->setRouterUrl(m_settings.upnpUrl);
    connect(m_portMapper.get(), &PortMapper::mapped, this, &Session::portMapped);
    connect(m_portMapper.get(), &PortMapper::failed, this,
            [this](const QString& message, const QString& detail) {
                std::fprintf(stderr, "vrako: the router did not forward the game port: %s\n",
                             qPrintable(detail));
                if (m_portFailureTold)
                    return;
                m_portFailureTold = true;
                emit systemLine(message, ClientGame::kGrey);
            });
    m_portMapper->start(m_server->port(), QStringLiteral("Vrako game"));
}

QStringList Session::inviteLinks() const {
    if (!m_server)
        return {};
    QStringList links = vrako::inviteLinks(m_server->port());
    if (m_portMapper && m_portMapper->isMapped() && !m_portMapper->externalAddress().isEmpty())
        links.append(formatInviteLink(m_portMapper->externalAddress(), m_server->port()));
    return links;
}

void Session::announceTable() {
    const auto status = [this] { return tableStatus(m_server->logic().table()); };
    m_announcer =
        std::make_unique<TableAnnouncer>(m_game->playername(), m_server->port(), status());
    TableAnnouncer* announcer = m_announcer.get();
    connect(m_server, &TServer::tableMayHaveChanged, announcer,
            [announcer, status] { announcer->update(status()); });
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
