// SPDX-License-Identifier: MIT
#pragma once

#include "windows/sidewindow.h"

#include <QPointer>
#include <QSaveFile>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;

namespace vrako {

// Shown at the start of a solo game: offers to fetch the Dovi42 Lobby, which multi-player games
// start from, to start an installed lobby, or to go on with the solo game. The fetched file is
// handed to the desktop to open; the game never runs it itself. When nothing opens it, the
// window says where it was saved and offers to open that folder; a failed transfer says why.
class Tdownload : public SideWindow {
    Q_OBJECT
public:
    // Opens a downloaded file with the desktop's handler; false when that failed.
    using Opener = std::function<bool(const QUrl& file)>;
    // Starts a program detached from the game; false when it could not be started.
    using Starter = std::function<bool(const QString& program, const QStringList& arguments)>;

    enum State { Idle = 0, Running = 1, Failed = 2 };

    explicit Tdownload(QWidget* parent = nullptr);
    ~Tdownload() override;

    // The address fetched when none is configured, and VRAKO_LOBBY_URL or else that one.
    static QString defaultLobbyUrl();
    static QString lobbyUrlFromEnvironment();
    // The lobby program "dovi42-lobby" found on the PATH, or an empty string.
    static QString lobbyProgram();
    // The file name a download address is saved under: the part after its last "/".
    static QString fileNameOf(const QString& address);

    QString url() const { return m_url; }
    void setUrl(const QString& address) { m_url = address; }
    // Where the fetched file is saved (the game's data folder).
    QString dataFolder() const { return m_dataFolder; }
    void setDataFolder(const QString& folder) { m_dataFolder = folder; }
    void setOpener(Opener opener) { m_opener = std::move(opener); }
    void setStarter(Starter starter) { m_starter = std::move(starter); }
    // Shows a JPEG as the window's picture; damaged data leaves the plain background.
    void setPicture(const QByteArray& jpeg);

    // The infolabel's state: Running while fetching and after success, Failed after an abort
    // or a failed transfer.
    State state() const { return m_state; }
    bool isDownloading() const { return !m_reply.isNull(); }

    void getbuttonClick();
    void abortbuttonClick();
    void Button1Click() { close(); }
    void Button2Click();
    // Opens the folder the lobby was saved in with the desktop's file manager.
    void openFolderClick();

signals:
    // Text for the player that the owner shows in a message box.
    void messageWanted(const QString& text);
    // The game should end as File, Exit does (the lobby or the installer takes over).
    void quitRequested();
    // A download ended: the saved file on success, an empty path otherwise.
    void downloadEnded(bool ok, const QString& path);

private:
    void setState(State state);
    void headersArrived();
    void dataArrived();
    void transferEnded();
    // What went wrong with the ended transfer, in the player's words.
    QString failureReason(const QNetworkReply& reply) const;
    // Ends a download that saved nothing; `reason` goes below the "Download Aborted" line.
    void fail(const QString& reason);
    void showSavedIn(const QString& folder);

    QString m_url;
    QString m_dataFolder;
    Opener m_opener;
    Starter m_starter;
    State m_state = Idle;
    QLabel* m_info = nullptr;
    QLabel* m_info2 = nullptr;
    QLabel* m_info3 = nullptr;
    QLabel* m_image = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_abort = nullptr;
    QPushButton* m_openFolder = nullptr;
    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    std::unique_ptr<QSaveFile> m_file;
    qint64 m_received = 0;
    bool m_bodyStarted = false;
    bool m_writeFailed = false;
};

} // namespace vrako
