// SPDX-License-Identifier: MIT
#include "windows/tdownload.h"

#include "widgets/jpegimage.h"
#include "widgets/soundplayer.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

namespace vrako {
namespace {

const QString kNoLobby = QStringLiteral(
    "The Dovi42 Lobby was not found on this computer (there is no program named dovi42-lobby). "
    "If it is installed, close the game and open the lobby from your desktop's applications "
    "menu. Without the lobby, choose File, Host or Join a Game... to host a game or to join "
    "one.");
const QString kError = QStringLiteral("An Error has Occurred.");

// Shows a line that may be longer than the label, cut with an ellipsis and whole in the tooltip.
void setElidedText(QLabel* label, const QString& text, Qt::TextElideMode mode) {
    label->ensurePolished();
    const QString shown = label->fontMetrics().elidedText(text, mode, label->width());
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : text);
}

QLabel* addLabel(QWidget* parent, const char* name, QRect geometry, const QString& style) {
    auto* label = new QLabel(parent);
    if (name)
        label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet(style);
    return label;
}

} // namespace

Tdownload::Tdownload(QWidget* parent)
    : SideWindow("Tdownload", QStringLiteral("Download The Dovi42 Lobby"), QSize(480, 340), parent),
      m_url(defaultLobbyUrl()),
      m_dataFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)),
      m_opener([](const QUrl& file) { return QDesktopServices::openUrl(file); }),
      m_starter([](const QString& program, const QStringList& arguments) {
          return QProcess::startDetached(program, arguments);
      }) {
    setTiledBackground(true);
    const QString text = QStringLiteral("color: rgb(230, 232, 236); font: 13px Arial;");
    const QString status = QStringLiteral("color: rgb(242, 250, 143); font: bold 13px Arial;");

    auto* title = addLabel(this, nullptr, {20, 14, 250, 28},
                           QStringLiteral("color: rgb(242, 250, 143); font: bold 20px Arial;"));
    title->setText(QStringLiteral("Play Vrako with others"));
    auto* explain = addLabel(this, "label_explain", {20, 46, 252, 106}, text);
    explain->setWordWrap(true);
    explain->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    explain->setText(QStringLiteral(
        "You are playing a solo game against Klot, Klitz and Kling.\n\n"
        "Games with other people start from the Dovi42 Lobby, which opens Vrako for every "
        "player at the table."));
    m_image = addLabel(this, "Image1", {284, 18, 180, 120}, QString());

    m_get = new QPushButton(QStringLiteral("Download And Install The Dovi42 Lobby Now"), this);
    m_get->setObjectName(QStringLiteral("getbutton"));
    m_get->setGeometry(20, 160, 444, 34);
    m_abort = new QPushButton(QStringLiteral("Stop Download"), this);
    m_abort->setObjectName(QStringLiteral("abortbutton"));
    m_abort->setGeometry(20, 202, 130, 28);
    m_abort->setEnabled(false);
    // Takes the place of the stop button once a lobby that nothing opens has been saved.
    m_openFolder = new QPushButton(QStringLiteral("Open Folder"), this);
    m_openFolder->setObjectName(QStringLiteral("button_openfolder"));
    m_openFolder->setGeometry(m_abort->geometry());
    m_openFolder->hide();
    m_info = addLabel(this, "infolabel", {162, 202, 302, 28}, status);
    m_info2 = addLabel(this, "infolabel2", {20, 258, 444, 20}, text);
    m_info2->hide();
    m_info3 = addLabel(this, "infolabel3", {20, 236, 444, 22}, status);

    auto* solo = new QPushButton(QStringLiteral("Play Solo Game"), this);
    solo->setObjectName(QStringLiteral("Button1"));
    solo->setGeometry(20, 286, 212, 36);
    solo->setDefault(true);
    auto* others = new QPushButton(QStringLiteral("Play with Others"), this);
    others->setObjectName(QStringLiteral("Button2"));
    others->setGeometry(252, 286, 212, 36);

    connect(m_get, &QPushButton::clicked, this, &Tdownload::getbuttonClick);
    connect(m_abort, &QPushButton::clicked, this, &Tdownload::abortbuttonClick);
    connect(m_openFolder, &QPushButton::clicked, this, &Tdownload::openFolderClick);
    connect(solo, &QPushButton::clicked, this, &Tdownload::Button1Click);
    connect(others, &QPushButton::clicked, this, &Tdownload::Button2Click);

    initResources();
    QFile picture(QStringLiteral(":/pictures/lobby.jpg"));
    if (picture.open(QIODevice::ReadOnly))
        setPicture(picture.readAll());
    setState(Idle);
}

Tdownload::~Tdownload() = default;

QString Tdownload::defaultLobbyUrl() {
    return QStringLiteral("https://dovi42.example/download/dovi42-lobby.deb");
}

QString Tdownload::lobbyUrlFromEnvironment() {
    const QString fromEnvironment = qEnvironmentVariable("VRAKO_LOBBY_URL");
    return fromEnvironment.isEmpty() ? defaultLobbyUrl() : fromEnvironment;
}

QString Tdownload::lobbyProgram() {
    return QStandardPaths::findExecutable(QStringLiteral("dovi42-lobby"));
}

QString Tdownload::fileNameOf(const QString& address) {
    const QString name = address.mid(address.lastIndexOf(QLatin1Char('/')) + 1);
    // Never a name that leaves the data folder or is no file at all.
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        return QStringLiteral("dovi42-lobby-download");
    return name;
}

void Tdownload::setPicture(const QByteArray& jpeg) {
    const QImage image = decodeJpeg(jpeg);
    if (image.isNull()) {
        m_image->clear();
        return;
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    // Drawn at twice the label's size, for sharp high-density screens.
    pixmap.setDevicePixelRatio(qMax(1.0, qreal(image.width()) / m_image->width()));
    m_image->setPixmap(pixmap);
}

void Tdownload::setState(State state) {
    m_state = state;
    m_info->setProperty("Tag", int(state));
}

void Tdownload::getbuttonClick() {
    if (isDownloading())
        return;
    setState(Running);
    m_openFolder->hide();
    m_abort->show();
    const QString name = fileNameOf(m_url);
    m_info2->setText(name);
    m_received = 0;
    m_bodyStarted = false;
    m_writeFailed = false;
    const QUrl url(m_url);
    QDir().mkpath(m_dataFolder);
    m_file = std::make_unique<QSaveFile>(QDir(m_dataFolder).filePath(name));
    if (!url.isValid() ||
        (url.scheme() != QStringLiteral("https") && url.scheme() != QStringLiteral("http"))) {
        fail(QStringLiteral("The address is not a web address: ") + m_url);
        return;
    }
    if (!m_file->open(QIODevice::WriteOnly)) {
        fail(QStringLiteral("The file could not be written: ") + m_file->errorString());
        return;
    }
    m_get->setEnabled(false);
    m_abort->setEnabled(true);
    m_info->setText(QStringLiteral("Loading"));
    m_info3->clear();
    m_info3->setToolTip(QString());

    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray("Mozilla/3.0 (compatible)"));
    request.setRawHeader("Accept", "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    // A server that stops sending for this long ends the transfer as failed.
    request.setTransferTimeout(60000);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &Tdownload::headersArrived);
    connect(m_reply, &QIODevice::readyRead, this, &Tdownload::dataArrived);
    connect(m_reply, &QNetworkReply::finished, this, &Tdownload::transferEnded);
}

void Tdownload::abortbuttonClick() {
    if (!isDownloading())
        return;
    m_info->setText(QStringLiteral("Download has been aborted."));
    setState(Failed);
    m_info3->setText(QStringLiteral("Download Aborted"));
    // The transfer ends with its error on the next pass of the event loop, as a transfer
    // that fails by itself does.
    QMetaObject::invokeMethod(
        this,
        [reply = m_reply] {
            if (reply)
                reply->abort();
        },
        Qt::QueuedConnection);
}

void Tdownload::Button2Click() {
    const QString lobby = lobbyProgram();
    if (lobby.isEmpty())
        emit messageWanted(kNoLobby);
    else if (m_starter(lobby, {}))
        emit quitRequested();
    else
        emit messageWanted(kError + QStringLiteral(" The lobby program ") + lobby +
                           QStringLiteral(" could not be started."));
}

void Tdownload::openFolderClick() {
    if (!m_opener(QUrl::fromLocalFile(m_dataFolder)))
        emit messageWanted(QStringLiteral("No file manager opened the folder. The Dovi42 Lobby "
                                          "was saved to:\n") +
                           QDir::toNativeSeparators(m_dataFolder));
}

void Tdownload::headersArrived() {
    if (!m_reply)
        return;
    m_info->setText(m_info->text() + QString(m_reply->rawHeaderList().size(), QLatin1Char('.')));
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 200 && status < 300 && !m_bodyStarted) {
        m_bodyStarted = true;
        m_info3->setText(QStringLiteral("Downloading: ") + m_info2->text());
    }
}

void Tdownload::dataArrived() {
    if (!m_reply)
        return;
    const QByteArray chunk = m_reply->readAll();
    // Only the body of a successful answer is the file; an error page is not.
    if (!m_bodyStarted || m_writeFailed)
        return;
    if (m_file->write(chunk) != chunk.size()) {
        m_writeFailed = true;
        m_reply->abort();
        return;
    }
    m_received += chunk.size();
    m_info->setText(QString::number(m_received) + QStringLiteral(" bytes"));
}

void Tdownload::transferEnded() {
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    dataArrived();
    m_reply = nullptr;
    reply->deleteLater();
    const bool ok = m_state != Failed && reply->error() == QNetworkReply::NoError &&
                    m_bodyStarted && !m_writeFailed && m_file->commit();
    if (!ok) {
        fail(failureReason(*reply));
        return;
    }
    const QString path = m_file->fileName();
    m_file.reset();
    m_info->setText(QStringLiteral("Received ") + QString::number(QFileInfo(path).size()) +
                    QStringLiteral(" bytes"));
    m_get->setEnabled(true);
    m_abort->setEnabled(false);
    emit downloadEnded(true, path);
    m_info3->setText(QStringLiteral("Installing"));
    // The desktop decides how to install it; the game itself never runs what it fetched.
    if (m_opener(QUrl::fromLocalFile(path)))
        emit quitRequested();
    else
        showSavedIn(QFileInfo(path).absolutePath());
}

void Tdownload::showSavedIn(const QString& folder) {
    setElidedText(m_info3, QStringLiteral("Saved to ") + QDir::toNativeSeparators(folder),
                  Qt::ElideMiddle);
    m_abort->hide();
    m_openFolder->show();
}

QString Tdownload::failureReason(const QNetworkReply& reply) const {
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() >= 300))
        return QStringLiteral("The server answered %1 %2")
            .arg(status.toInt())
            .arg(reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
            .trimmed();
    if (m_writeFailed)
        return QStringLiteral("The file could not be written: ") + m_file->errorString();
    if (reply.error() == QNetworkReply::RemoteHostClosedError)
        return QStringLiteral("The connection closed after %1 %2")
            .arg(m_received)
            .arg(m_received == 1 ? QStringLiteral("byte") : QStringLiteral("bytes"));
    if (reply.error() == QNetworkReply::NoError)
        return QStringLiteral("The file could not be saved: ") + m_file->errorString();
    return QStringLiteral("The download failed: ") + reply.errorString();
}

void Tdownload::fail(const QString& reason) {
    qWarning("Lobby download failed: %s", qPrintable(reason));
    // Nothing half-fetched is left behind.
    if (m_file)
        m_file->cancelWriting();
    m_file.reset();
    m_info->setText(QStringLiteral("Download Aborted"));
    // A stop the player asked for already says so; anything else says why it stopped.
    if (m_state != Failed)
        setElidedText(m_info3, reason, Qt::ElideRight);
    setState(Failed);
    m_get->setEnabled(true);
    m_abort->setEnabled(false);
    emit downloadEnded(false, QString());
}

} // namespace vrako
