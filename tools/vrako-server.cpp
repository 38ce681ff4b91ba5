// SPDX-License-Identifier: MIT
// The game server without a window: vrako-server [--port N] [--bot-speed MS]
// [--round-pause MS] [--login-timeout MS] [--seed N] [--name NAME] [--no-announce]. The first
// connection gets record 1 and the host's rights. The table is announced on the local network
// until the server stops.
#include "net/commands.h"
#include "net/tableannouncer.h"
#include "net/tsock.h"
#include "server/tablestatus.h"
#include "server/tserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    // Only async-signal-safe calls here; the event loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

bool readNumber(const QCommandLineParser& parser, const QString& name, qulonglong max,
                qulonglong& value) {
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    value = parser.value(name).toULongLong(&ok);
    if (!ok || value > max) {
        std::fprintf(stderr, "vrako-server: --%s needs a number from 0 to %llu\n", qPrintable(name),
                     max);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vrako-server");
    QCoreApplication::setApplicationVersion(
        QString::fromUtf8(vrako::cmd::version.data(), qsizetype(vrako::cmd::version.size())));

    QCommandLineParser parser;
    parser.setApplicationDescription("Vrako game server");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({"port", "TCP port to listen on (0: any free port).", "N"});
    parser.addOption({"bot-speed", "Delay of a computer player's move in ms.", "MS"});
    parser.addOption({"round-pause", "Pause between rounds in ms.", "MS"});
    parser.addOption(
        {"login-timeout", "Time a connection has to log in, in ms (0: no deadline).", "MS"});
    parser.addOption({"seed", "Seed of the random cards.", "N"});
    parser.addOption(
        {"name", "Announce the table as \"NAME's table\" (default: the host name).", "NAME"});
    parser.addOption({"no-announce", "Do not announce the table on the local network."});
    parser.process(app);

    qulonglong port = 7772;
    const QByteArray envPort = qgetenv("VRAKO_PORT");
    if (!envPort.isEmpty()) {
        bool ok = false;
        port = envPort.toULongLong(&ok);
        if (!ok || port > 65535) {
            std::fprintf(stderr, "vrako-server: VRAKO_PORT is not a port number\n");
            return 1;
        }
    }
    qulonglong botSpeed = 1000;
    qulonglong roundPause = 10000;
    qulonglong loginTimeout = vrako::TServer::kLoginTimeoutMs;
    qulonglong seed = qulonglong(std::chrono::system_clock::now().time_since_epoch().count());
    if (!readNumber(parser, "port", 65535, port) ||
        !readNumber(parser, "bot-speed", 3600000, botSpeed) ||
        !readNumber(parser, "round-pause", 3600000, roundPause) ||
        !readNumber(parser, "login-timeout", 3600000, loginTimeout) ||
        !readNumber(parser, "seed", ~0ULL, seed))
        return 1;

    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("vrako-server: pipe");
        return 1;
    }
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] {
        char buf[16];
        while (::read(signalPipe[0], buf, sizeof buf) > 0) {
        }
        QCoreApplication::exit(0);
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    vrako::TServer server(seed);
    server.setBotSpeed(int(botSpeed));
    server.setRoundPause(int(roundPause));
    server.setLoginTimeout(int(loginTimeout));
    try {
        server.listen(quint16(port));
    } catch (const vrako::ESockException& e) {
        std::fprintf(stderr, "vrako-server: cannot listen on port %llu: %s\n", port, e.what());
        return 1;
    }
    std::printf("Listening on port %u\n", unsigned(server.port()));
    std::fflush(stdout);

    // Destroyed before the server, at the end of main, which a signal reaches too: the
    // announcement is withdrawn.
    std::unique_ptr<vrako::TableAnnouncer> announcer;
    if (!parser.isSet("no-announce")) {
        announcer = std::make_unique<vrako::TableAnnouncer>(
            parser.value("name"), server.port(), vrako::tableStatus(server.logic().table()));
        QObject::connect(announcer.get(), &vrako::TableAnnouncer::announced, announcer.get(),
                         [](const QString& name) {
                             std::printf("Announced on the local network as \"%s\"\n",
                                         qPrintable(name));
                             std::fflush(stdout);
                         });
        if (!announcer->isAvailable())
            std::fprintf(stderr,
                         "vrako-server: the Avahi service is not running (%s); the table will be "
                         "announced on the local network once it runs\n",
                         qPrintable(announcer->unavailableReason()));
        // The announcer passes on only what changed.
        vrako::TableAnnouncer* a = announcer.get();
        QObject::connect(&server, &vrako::TServer::tableMayHaveChanged, a,
                         [a, &server] { a->update(vrako::tableStatus(server.logic().table())); });
    }
    return app.exec();
}
