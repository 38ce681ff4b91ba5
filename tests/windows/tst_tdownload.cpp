// SPDX-License-Identifier: MIT
// The lobby download window against a small HTTP server on loopback: progress texts, success,
// failures and an abort; starting an installed lobby.
#include "windows/tdownload.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace vrako;

namespace {

// Answers each request with a scripted reply: the first part at once, each further part when
// the test calls advance(); after the last part the connection closes if asked to.
class HttpServer : public QObject {
public:
    QList<QByteArray> parts;
    bool closeAtEnd = false;
    QList<QByteArray> requests;

    HttpServer() {
        QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            m_socket = m_server.nextPendingConnection();
            connect(m_socket, &QTcpSocket::readyRead, this, [this] {
                m_request += m_socket->readAll();
                if (m_request.contains("\r\n\r\n") && m_sent == 0) {
                    requests.append(m_request);
                    advance();
                }
            });
        });
    }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_server.serverPort()).arg(path);
    }
    void advance() {
        if (!m_socket || m_sent >= parts.size())
            return;
        m_socket->write(parts[m_sent++]);
        m_socket->flush();
        if (m_sent == parts.size() && closeAtEnd)
            m_socket->disconnectFromHost();
    }

private:
    QTcpServer m_server;
    QPointer<QTcpSocket> m_socket;
    QByteArray m_request;
    qsizetype m_sent = 0;
};

QByteArray okHeaders(int length) {
    return "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
           QByteArray::number(length) + "\r\nConnection: close\r\n\r\n";
}

struct Window {
    QTemporaryDir dir;
    Tdownload w;
    QList<QUrl> opened;
    QSignalSpy ended{&w, &Tdownload::downloadEnded};
    QSignalSpy quits{&w, &Tdownload::quitRequested};
    QSignalSpy messages{&w, &Tdownload::messageWanted};

    Window() {
        w.setDataFolder(dir.filePath(QStringLiteral("data")));
        w.setOpener([this](const QUrl& u) {
            opened.append(u);
            return true;
        });
    }
    QString text(const char* name) const {
        return w.findChild<QLabel*>(QLatin1String(name))->text();
    }
    QPushButton* button(const char* name) const {
        return w.findChild<QPushButton*>(QLatin1String(name));
    }
    QStringList files() const { return QDir(w.dataFolder()).entryList(QDir::Files | QDir::Hidden); }
};

} // namespace

class TestTdownload : public QObject {
    Q_OBJECT
private slots:
    void downloadAndHandOver();
    void failures_data();
    void failures();
    void abortDuringTransfer();
    void addressWithoutSlash();
    void playWithOthers();
    void pictureAndTexts();
};

void TestTdownload::downloadAndHandOver() {
    HttpServer server;
    const QByteArray body = QByteArray(3000, 'x') + "end";
    server.parts = {okHeaders(3003), body.left(1000), body.mid(1000)};
    Window t;
    t.w.setUrl(server.url(QStringLiteral("files/lobby-setup.deb")));
    t.button("getbutton")->click();
    QVERIFY(!t.button("getbutton")->isEnabled());
    QVERIFY(t.button("abortbutton")->isEnabled());
    QCOMPARE(t.w.state(), Tdownload::Running);
    QCOMPARE(t.text("infolabel2"), QStringLiteral("lobby-setup.deb"));
    // One dot per header line.
    QTRY_COMPARE(t.text("infolabel"), QStringLiteral("Loading..."));
    QCOMPARE(t.text("infolabel3"), QStringLiteral("Downloading: lobby-setup.deb"));
    server.advance();
    QTRY_COMPARE(t.text("infolabel"), QStringLiteral("1000 bytes"));
    server.advance();
    QTRY_COMPARE(t.ended.count(), 1);
    QCOMPARE(t.text("infolabel"), QStringLiteral("Received 3003 bytes"));
    QCOMPARE(t.text("infolabel3"), QStringLiteral("Installing"));
    QVERIFY(t.button("getbutton")->isEnabled());
    QVERIFY(!t.button("abortbutton")->isEnabled());
    const QString path = QDir(t.w.dataFolder()).filePath(QStringLiteral("lobby-setup.deb"));
    QCOMPARE(t.ended.at(0), (QVariantList{true, path}));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), body);
    QCOMPARE(t.opened, QList<QUrl>{QUrl::fromLocalFile(path)});
    QCOMPARE(t.quits.count(), 1);
    QVERIFY(server.requests.at(0).contains("User-Agent: Mozilla/3.0 (compatible)\r\n"));

    // Nothing on the desktop opens the file: the game stays, says where the file is and
    // offers to open that folder.
    t.w.show();
    t.w.setOpener([&t](const QUrl& u) {
        t.opened.append(u);
        return u.isLocalFile() && QFileInfo(u.toLocalFile()).isDir();
    });
    HttpServer again;
    again.parts = {okHeaders(3) + "abc"};
    t.w.setUrl(again.url(QStringLiteral("lobby-setup.deb")));
    t.button("getbutton")->click();
    QTRY_COMPARE(t.ended.count(), 2);
    QCOMPARE(t.text("infolabel3"), QStringLiteral("Saved to ") + t.w.dataFolder());
    QVERIFY(t.messages.isEmpty());
    QCOMPARE(t.quits.count(), 1);
    QVERIFY(!t.button("abortbutton")->isVisible());
    t.button("button_openfolder")->click();
    QCOMPARE(t.opened.last(), QUrl::fromLocalFile(t.w.dataFolder()));
    QVERIFY(t.messages.isEmpty());
}

void TestTdownload::failures_data() {
    QTest::addColumn<QList<QByteArray>>("parts");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not found") << QList<QByteArray>{"HTTP/1.1 404 Not Found\r\nContent-Length: "
                                                    "9\r\nConnection: close\r\n\r\nnot here\n"}
                               << QStringLiteral("The server answered 404 Not Found");
    QTest::newRow("server closes midway")
        << QList<QByteArray>{okHeaders(5000) + QByteArray(1200, 'y')}
        << QStringLiteral("The connection closed after 1200 bytes");
}

void TestTdownload::failures() {
    QFETCH(QList<QByteArray>, parts);
    QFETCH(QString, reason);
    HttpServer server;
    server.parts = parts;
    server.closeAtEnd = true;
    Window t;
    t.w.setUrl(server.url(QStringLiteral("lobby.deb")));
    t.button("getbutton")->click();
    QTRY_COMPARE(t.ended.count(), 1);
    QCOMPARE(t.ended.at(0).at(0).toBool(), false);
    QCOMPARE(t.text("infolabel"), QStringLiteral("Download Aborted"));
    QCOMPARE(t.text("infolabel3"), reason);
    QCOMPARE(t.w.state(), Tdownload::Failed);
    QVERIFY(t.button("getbutton")->isEnabled());
    QVERIFY(!t.button("abortbutton")->isEnabled());
    QCOMPARE(t.files(), QStringList());
    QVERIFY(t.opened.isEmpty());
    QCOMPARE(t.quits.count(), 0);
}

void TestTdownload::abortDuringTransfer() {
    HttpServer server;
    server.parts = {okHeaders(9000) + QByteArray(1500, 'z'), QByteArray(7500, 'z')};
    Window t;
    t.w.setUrl(server.url(QStringLiteral("lobby.deb")));
    t.button("getbutton")->click();
    QTRY_COMPARE(t.text("infolabel"), QStringLiteral("1500 bytes"));
    t.button("abortbutton")->click();
    QCOMPARE(t.text("infolabel"), QStringLiteral("Download has been aborted."));
    QCOMPARE(t.text("infolabel3"), QStringLiteral("Download Aborted"));
    QCOMPARE(t.w.state(), Tdownload::Failed);
    QTRY_COMPARE(t.text("infolabel"), QStringLiteral("Download Aborted"));
    QCOMPARE(t.ended.count(), 1);
    QVERIFY(t.button("getbutton")->isEnabled());
    QVERIFY(!t.button("abortbutton")->isEnabled());
    QCOMPARE(t.files(), QStringList());
    QVERIFY(t.opened.isEmpty());
}

void TestTdownload::addressWithoutSlash() {
    QCOMPARE(Tdownload::fileNameOf(QStringLiteral("https://h.example/a/b/setup.deb")),
             QStringLiteral("setup.deb"));
    QCOMPARE(Tdownload::fileNameOf(QStringLiteral("https://h.example/..")),
             QStringLiteral("dovi42-lobby-download"));
    Window t;
    t.w.setUrl(QStringLiteral("lobbysetup.deb"));
    t.button("getbutton")->click();
    QCOMPARE(t.text("infolabel2"), QStringLiteral("lobbysetup.deb"));
    QCOMPARE(t.text("infolabel"), QStringLiteral("Download Aborted"));
    QVERIFY(t.button("getbutton")->isEnabled());
    QCOMPARE(t.files(), QStringList());
}

void TestTdownload::playWithOthers() {
    QTemporaryDir bin;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    Window t;
    QStringList started;
    t.w.setStarter([&](const QString& program, const QStringList&) {
        started.append(program);
        return true;
    });
    t.button("Button2")->click();
    QCOMPARE(t.messages.count(), 1);
    const QString told = t.messages.at(0).at(0).toString();
    QVERIFY2(told.contains(QStringLiteral("File, Host or Join a Game...")) &&
                 !told.contains(QStringLiteral("Window")),
             qPrintable(told));
    QVERIFY(started.isEmpty());

    const QString lobby = bin.filePath(QStringLiteral("dovi42-lobby"));
    QFile script(lobby);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
    t.button("Button2")->click();
    qputenv("PATH", oldPath);
    QCOMPARE(started, QStringList{lobby});
    QCOMPARE(t.quits.count(), 1);
    QCOMPARE(t.messages.count(), 1);
}

void TestTdownload::pictureAndTexts() {
    Window t;
    QCOMPARE(t.w.windowTitle(), QStringLiteral("Download The Dovi42 Lobby"));
    QVERIFY(t.w.hasTiledBackground());
    QCOMPARE(t.button("getbutton")->text(),
             QStringLiteral("Download And Install The Dovi42 Lobby Now"));
    QCOMPARE(t.button("abortbutton")->text(), QStringLiteral("Stop Download"));
    QVERIFY(!t.button("abortbutton")->isEnabled());
    QVERIFY(!t.w.findChild<QLabel*>(QStringLiteral("infolabel2"))->isVisibleTo(&t.w));
    QVERIFY(Tdownload::defaultLobbyUrl().startsWith(QStringLiteral("https://")));
    auto* image = t.w.findChild<QLabel*>(QStringLiteral("Image1"));
    QVERIFY(!image->pixmap().isNull());
    t.w.setPicture(QByteArray("\xff\xd8\xff\xe0 damaged", 12));
    QVERIFY(image->pixmap().isNull());
    t.w.show();
    t.button("Button1")->click();
    QVERIFY(!t.w.isVisible());
}

QTEST_MAIN(TestTdownload)
#include "tst_tdownload.moc"
