// SPDX-License-Identifier: MIT
// The session: handing the game port over to a copy started from it, failed connections told
// in words, a command line that names no role, keeping the settings and tally files that
// exist but cannot be read, and the home router's forwarding of the game port.
#include "game/clientconnection.h"
#include "game/clientgame.h"
#include "net/invitelink.h"
#include "net/portmapper.h"
#include "server/tserver.h"
#include "session/session.h"
#include "store/tallybook.h"
#include "tsock_helper.h"
#include "upnprouter_helper.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <algorithm>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace vrako;

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void handOverFreesThePortAndTakesItBackOnFailure();
    void failedConnectionsInWords_data();
    void failedConnectionsInWords();
    void tooFewArgumentsTellHowToStart();
    void unreadableSettingsFileIsNotWrittenOver();
    void unreadableTallyIsReportedAndKept();
    void hostingForwardsTheGamePortWhileItLasts();
    void refusedForwardingToldOnceInGrey();
};

namespace {

// A listener on a free loopback port that takes no more connections: one made at once fills
// its queue, so a later attempt is never answered.
struct Blackhole {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int filler = ::socket(AF_INET, SOCK_STREAM, 0);
    quint16 port = 0;
    Blackhole() {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        auto* a = reinterpret_cast<sockaddr*>(&addr);
        if (::bind(fd, a, len) != 0 || ::listen(fd, 0) != 0 || ::getsockname(fd, a, &len) != 0 ||
            ::connect(filler, a, len) != 0)
            return;
        port = ntohs(addr.sin_port);
    }
    ~Blackhole() {
        ::close(filler);
        ::close(fd);
    }
};
// Puts a local socket at path: it exists, opening it for reading fails even for root, and a
// file renamed over it would replace it.
bool placeSocket(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (static_cast<std::size_t>(name.size()) >= sizeof(address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    std::copy(name.begin(), name.end(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}

bool isSocket(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

ProgramSettings settingsIn(const QString& home) {
    ProgramSettings settings;
    settings.port = 0;
    settings.lobbyPort = 1;
    settings.home = home;
    return settings;
}

} // namespace

void TestSession::handOverFreesThePortAndTakesItBackOnFailure() {
    ProgramSettings settings;
    settings.port = 0;
    settings.lobbyPort = 1;
    Session session(settings);
    session.processparams({QStringLiteral("Ann"), QStringLiteral("x"), QStringLiteral("false")});
    QVERIFY(session.server());
    const quint16 port = session.server()->port();
    QVERIFY(port != 0);

    // The started copy could not run: this copy takes its port back.
    QVERIFY(!session.handOver([] { return false; }));
    QCOMPARE(session.server()->port(), port);
    TServer other(1);
    QVERIFY_THROWS_EXCEPTION(ESockException, other.listen(port));

    // The new copy hosts on the same port while this one is still running.
    bool newCopyListened = false;
    QVERIFY(session.handOver([&] {
        other.listen(port);
        newCopyListened = other.port() == port;
        return true;
    }));
    QVERIFY(newCopyListened);
}

void TestSession::failedConnectionsInWords_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("report");
    QTest::newRow("refused") << "127.0.0.1"
                             << "Nobody is hosting a game at 127.0.0.1, port %1. Is the host's "
                                "game running?"
                             << "Error #10061 (WSAECONNREFUSED)";
    // The system has no route to a group address.
    QTest::newRow("unreachable") << "224.0.0.1"
                                 << "224.0.0.1 cannot be reached: a network or firewall problem."
                                 << "Error #10051 (WSAENETUNREACH)";
    QTest::newRow("no answer") << "127.0.0.1"
                               << "127.0.0.1 cannot be reached: a network or firewall problem."
                               << "No answer in 0.3 s";
    QTest::newRow("no such name") << "1.2.3.4.5"
                                  << "No computer named 1.2.3.4.5 was found."
                                  << "Host Lookup - Could Not Find Host Entry";
}

void TestSession::failedConnectionsInWords() {
    QFETCH(QString, host);
    QFETCH(QString, text);
    QFETCH(QString, report);
    Blackhole blackhole;
    QVERIFY(blackhole.port != 0);
    quint16 port = blackhole.port;
    if (QTest::currentDataTag() != QLatin1String("no answer")) {
        TServer gone(1); // a port nobody listens on any more
        gone.listen(0);
        port = gone.port();
    }
    ProgramSettings settings;
    settings.port = port;
    settings.lobbyPort = 1;
    Session session(settings);
    session.connection().setConnectTimeout(300);
    QSignalSpy failed(&session, &Session::connectFailed);
    QStringList lines;
    connect(&session, &Session::systemLine, this, [&](const QString& line) { lines.append(line); });
    session.processparams({QStringLiteral("Ann"), host, QStringLiteral("true")});
    text.replace(QStringLiteral("%1"), QString::number(port));
    QTRY_COMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), text);
    QCOMPARE(failed.at(0).at(1).toString(), report);
    // The chat keeps both, the socket's own words last.
    QCOMPARE(lines.mid(lines.size() - 2),
             (QStringList{text, QStringLiteral("Cannot connect to the game: ") + report}));

    // Trying again makes a new attempt, which fails the same way once more.
    session.retryConnection();
    QTRY_COMPARE(failed.count(), 2);
    QCOMPARE(failed.at(1).at(1).toString(), report);
}

void TestSession::tooFewArgumentsTellHowToStart() {
    const QString usage = QStringLiteral(
        "To play, start Vrako with vrako NAME HOST true|false (true joins the game at HOST, false "
        "hosts one), with an invite link (vrako://HOST:PORT), or with no arguments for a solo "
        "game.");
    for (const QStringList& args : {QStringList{"Ann"}, QStringList{"Ann", "10.0.0.5"}}) {
        ProgramSettings settings;
        settings.port = 0;
        settings.lobbyPort = 1;
        Session session(settings);
        QStringList lines;
        connect(&session, &Session::systemLine, this,
                [&](const QString& line) { lines.append(line); });
        // Standard error, caught in a file for the length of the call.
        QTemporaryFile err;
        QVERIFY(err.open());
        std::fflush(stderr);
        const int saved = ::dup(2);
        ::dup2(err.handle(), 2);
        session.processparams(args);
        std::fflush(stderr);
        ::dup2(saved, 2);
        ::close(saved);
        QCOMPARE(lines, (QStringList{"Loading Multi-player Game.. Please Wait.", usage}));
        err.seek(0);
        QCOMPARE(QString::fromUtf8(err.readAll()),
                 QStringLiteral("vrako: ") + usage + QLatin1Char('\n'));
        QVERIFY(!session.server());
        QVERIFY(!session.connection().sock().hasHandle());
    }
}

// A settings file that cannot be read may still hold the user's choices: a save, or a save of
// the phrases, leaves it where it is instead of writing the built-in values over it.
void TestSession::unreadableSettingsFileIsNotWrittenOver() {
    QTemporaryDir home;
    Session session(settingsIn(home.path()));
    QVERIFY(placeSocket(session.settingsPath()));
    QVERIFY(!session.loadinifile());
    session.preferences().sort = true;
    session.preferences().phrases[0] = QStringLiteral("Hi");
    QVERIFY(!session.saveinifile());
    QVERIFY(!session.savePhrases());
    QVERIFY(isSocket(session.settingsPath()));
}

// A tally file that cannot be read is told in the chat and is not replaced by this run's tally.
void TestSession::unreadableTallyIsReportedAndKept() {
    QTemporaryDir home;
    Session session(settingsIn(home.path()));
    QVERIFY(placeSocket(session.tallyPath()));
    QSignalSpy lines(&session, &Session::systemLine);
    session.loadTally();
    QCOMPARE(lines.count(), 1);
    QVERIFY(lines.at(0).at(0).toString().contains(QStringLiteral("could not be read")));
    session.tally().addgame(TallyBook::mine(), {});
    QVERIFY(!session.saveTally());
    QVERIFY(isSocket(session.tallyPath()));
}

namespace {

ProgramSettings routedIn(const QString& home, const testing::UpnpRouter& router) {
    ProgramSettings settings = settingsIn(home);
    settings.upnpUrl = router.descriptionUrl();
    return settings;
}

const QStringList kHost{QStringLiteral("Ann"), QStringLiteral("x"), QStringLiteral("false")};

} // namespace

// Hosting asks the router for the game port and offers the link from the internet; switching
// the option off removes the forwarding, on asks again, and the end of the session removes it.
// A solo game and a settings file with the option off ask nothing.
void TestSession::hostingForwardsTheGamePortWhileItLasts() {
    testing::UpnpRouter router;
    {
        Session solo(routedIn({}, router));
        solo.processparams({});
        QVERIFY(solo.server());
        QVERIFY(!solo.portMapper());
    }
    QTemporaryDir off;
    QFile file(Preferences::filePath(off.path()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Vrako]\nUpnp=false\n");
    file.close();
    {
        Session host(routedIn(off.path(), router));
        host.processparams(kHost);
        QVERIFY(host.announcer());
        QVERIFY(!host.portMapper());
    }
    testing::settle(200);
    QVERIFY(router.requests().isEmpty());

    quint16 port = 0;
    {
        Session host(routedIn({}, router));
        QSignalSpy mapped(&host, &Session::portMapped);
        host.processparams(kHost);
        port = host.server()->port();
        QVERIFY(testing::waitFor([&] { return mapped.count() == 1; }));
        const auto adds = router.requests(QStringLiteral("AddPortMapping"));
        QCOMPARE(adds.size(), 1);
        QCOMPARE(adds[0].args.value(QStringLiteral("NewExternalPort")), QString::number(port));
        QCOMPARE(adds[0].args.value(QStringLiteral("NewInternalPort")), QString::number(port));
        QCOMPARE(adds[0].args.value(QStringLiteral("NewInternalClient")),
                 QStringLiteral("127.0.0.1"));
        const QStringList links = host.inviteLinks();
        QCOMPARE(
            links.last(),
            QStringLiteral("vrako://%1:%2").arg(testing::UpnpRouter::kExternalAddress).arg(port));
        QCOMPARE(links.size(), inviteLinks(port).size() + 1);

        host.setPortMapping(false);
        QCOMPARE(router.requests(QStringLiteral("DeletePortMapping")).size(), 1);
        QCOMPARE(host.inviteLinks(), inviteLinks(port));
        host.setPortMapping(true);
        QVERIFY(testing::waitFor([&] { return mapped.count() == 2; }));
        QCOMPARE(router.requests(QStringLiteral("AddPortMapping")).size(), 2);
    }
    const auto deletes = router.requests(QStringLiteral("DeletePortMapping"));
    QCOMPARE(deletes.size(), 2);
    QCOMPARE(deletes[1].args.value(QStringLiteral("NewExternalPort")), QString::number(port));
}

// A router that refuses is told once in the run, in grey, also when hosting resumes after a
// failed hand-over and the router refuses again.
void TestSession::refusedForwardingToldOnceInGrey() {
    testing::UpnpRouter router;
    router.refuse(QStringLiteral("AddPortMapping"), 718); // ConflictInMappingEntry
    Session host(routedIn({}, router));
    QList<QPair<QString, quint32>> lines;
    connect(&host, &Session::systemLine, this, [&](const QString& line, quint32 colour) {
        lines.append({line, colour});
    });
    host.processparams(kHost);
    const QString text = PortMapper::failureText(host.server()->port());
    QVERIFY(testing::waitFor([&] { return !lines.isEmpty() && lines.last().first == text; }));
    QCOMPARE(lines.last().second, ClientGame::kGrey);

    QVERIFY(!host.handOver([] { return false; }));
    QVERIFY(testing::waitFor(
        [&] { return router.requests(QStringLiteral("AddPortMapping")).size() == 2; }));
    testing::settle(200);
    QCOMPARE(
        std::count_if(lines.begin(), lines.end(), [&](const auto& l) { return l.first == text; }),
        1);
}

QTEST_MAIN(TestSession)
#include "tst_session.moc"
