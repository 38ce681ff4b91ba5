// SPDX-License-Identifier: MIT
// The session handing the game port over to a copy started from it, and keeping the settings
// and tally files that exist but cannot be read.
#include "server/tserver.h"
#include "session/session.h"
#include "windows/tallybook.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace vrako;

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void handOverFreesThePortAndTakesItBackOnFailure();
    void unreadableSettingsFileIsNotWrittenOver();
    void unreadableTallyIsReportedAndKept();
};

namespace {

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

QTEST_MAIN(TestSession)
#include "tst_session.moc"
