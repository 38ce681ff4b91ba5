// SPDX-License-Identifier: MIT
#include "shell/tchat.h"

#include "chat/chatpanel.h"
#include "client/boardview.h"
#include "client/clientconnection.h"
#include "net/messages.h"
#include "server/serverlogic.h"
#include "server/tserver.h"
#include "widgets/soundplayer.h"
#include "windows/downloadwindow.h"
#include "windows/gamestartdialog.h"
#include "windows/sidewindow.h"
#include "windows/spylist.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QScreen>
#include <QStandardPaths>

namespace vrako {
namespace {

quint16 portFromEnvironment(const char* name, quint16 fallback) {
    bool ok = false;
    const int value = qEnvironmentVariable(name).toInt(&ok);
    return ok && value > 0 && value < 65536 ? quint16(value) : fallback;
}

constexpr QSize kBoardSize(653, 505);

} // namespace

ProgramSettings ProgramSettings::fromEnvironment() {
    ProgramSettings s;
    s.port = portFromEnvironment("VRAKO_PORT", 7772);
    s.lobbyPort = portFromEnvironment("VRAKO_LOBBY_PORT", 9001);
    s.home = qEnvironmentVariable("VRAKO_HOME");
    if (s.home.isEmpty())
        s.home = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return s;
}

Tchat::Tchat(const ProgramSettings& settings, QWidget* parent)
    // Held for the whole run so the lobby can tell that a game is open; never waited on.
    : QMainWindow(parent), m_settings(settings), m_lock(QStringLiteral("vrako"), 1) {
    setObjectName(QStringLiteral("Tchat"));
    setWindowTitle(QStringLiteral("Vrako - Dovi42 Software"));

    m_game = new ClientGame(this);
    m_conn = new ClientConnection(this);
    m_sounds = new SoundPlayer(this);

    m_clientArea = new QWidget(this);
    m_clientArea->setObjectName(QStringLiteral("clientarea"));
    m_clientArea->setAutoFillBackground(true);
    QPalette pal = m_clientArea->palette();
    pal.setColor(QPalette::Window, QColor(36, 43, 55));
    m_clientArea->setPalette(pal);
    m_clientArea->setMinimumSize(kBoardSize + QSize(8, 8));
    setCentralWidget(m_clientArea);

    m_board = new BoardView(m_game, m_clientArea);
    m_board->move(3, 4);
    m_chat = new ChatPanel(m_board);
    m_chat->move(5, 364);

    buildMenus();
    wireGame();
    resize(660, 512 + menuBar()->sizeHint().height());
}

Tchat::~Tchat() = default;

QAction* Tchat::action(const char* objectName) const {
    return findChild<QAction*>(QLatin1String(objectName));
}

void Tchat::buildMenus() {
    auto add = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    m_startGame = add(file, "StartGame1", QStringLiteral("Start Game"));
    m_startGame->setEnabled(false);
    connect(m_startGame, &QAction::triggered, m_game, &ClientGame::button_startClick);
    file->addSeparator();
    connect(add(file, "Exit1", QStringLiteral("Exit")), &QAction::triggered, this, &QWidget::close);

    QMenu* options = menuBar()->addMenu(QStringLiteral("Options"));
    QAction* sounds = add(options, "PlaySounds1", QStringLiteral("Play Sounds"));
    sounds->setCheckable(true);
    sounds->setChecked(true);
    connect(sounds, &QAction::toggled, m_sounds, &SoundPlayer::setEnabled);
    QAction* chatter = add(options, "PlayChatterSounds1", QStringLiteral("Play Chatter Sounds"));
    chatter->setCheckable(true);

    QMenu* turnSound = options->addMenu(QStringLiteral("Turn Sound"));
    turnSound->menuAction()->setObjectName(QStringLiteral("TurnSound1"));
    auto* turnGroup = new QActionGroup(this);
    QAction* classic = add(turnSound, "Classic1", QStringLiteral("Classic"));
    QAction* fresh = add(turnSound, "New1", QStringLiteral("New"));
    for (QAction* a : {classic, fresh}) {
        a->setCheckable(true);
        turnGroup->addAction(a);
    }
    classic->setData(0);
    fresh->setData(1);
    classic->setChecked(true);
    connect(fresh, &QAction::toggled, m_game, &ClientGame::setTurnSoundNew);

    QAction* autoSort =
        add(options, "AutomaticallySortCards1", QStringLiteral("Automatically Sort Cards"));
    autoSort->setCheckable(true);
    connect(autoSort, &QAction::toggled, m_game, &ClientGame::setAutoSort);

    QMenu* botSpeed = options->addMenu(QStringLiteral("Bot Speed"));
    botSpeed->menuAction()->setObjectName(QStringLiteral("BotSpeed1"));
    m_botSpeed = new QActionGroup(this);
    const struct {
        const char* name;
        const char* caption;
        int ms;
    } speeds[] = {
        {"Slow1", "Slow", 1500}, {"Fast1", "Fast", 1000}, {"UltraFast1", "Ultra Fast", 500}};
    for (const auto& s : speeds) {
        QAction* a = add(botSpeed, s.name, QLatin1String(s.caption));
        a->setCheckable(true);
        a->setData(s.ms);
        a->setChecked(s.ms == 1000);
        m_botSpeed->addAction(a);
    }
    connect(m_botSpeed, &QActionGroup::triggered, this, [this](QAction* a) {
        if (m_server)
            m_server->setBotSpeed(a->data().toInt());
    });

    options->addSeparator();
    connect(add(options, "TextColor1", QStringLiteral("Text Color")), &QAction::triggered, this,
            &Tchat::chooseTextColour);
    QMenu* textSize = options->addMenu(QStringLiteral("Text Size"));
    textSize->menuAction()->setObjectName(QStringLiteral("TextSize1"));
    for (int size : {8, 10, 12, 14}) {
        QAction* a = textSize->addAction(QString::number(size));
        a->setObjectName(QStringLiteral("TextSize%1").arg(size));
        connect(a, &QAction::triggered, m_chat, [this, size] { m_chat->setTextSize(size); });
    }
    connect(add(options, "ResetLocation1", QStringLiteral("Reset Screen Location")),
            &QAction::triggered, this, &Tchat::ResetLocation1Click);
    options->addSeparator();
    options->addAction(m_chat->scrollChatOffAction());
    options->addAction(m_chat->clearMainChatAction());
    options->addSeparator();
    m_justWatch = add(options, "JustWatch1", QStringLiteral("Just Watch"));
    m_justWatch->setCheckable(true);
    // The check mark follows the server's answer, not the click.
    connect(m_justWatch, &QAction::triggered, this, [this] {
        m_justWatch->setChecked(m_game->justWatchChecked());
        m_game->JustWatch1Click();
    });

    QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
    QAction* spy = add(view, "SpyList1", QStringLiteral("Spy List"));
    connect(spy, &QAction::triggered, this, [this] {
        m_spylist->show();
        m_spylist->raise();
    });
    QAction* phrases = add(view, "PhraseList1", QStringLiteral("Phrase List"));
    connect(phrases, &QAction::triggered, this, [this] { m_phrases->show(); });
    QAction* tally = add(view, "TallyList1", QStringLiteral("Tally List"));
    connect(tally, &QAction::triggered, this, [this] { m_tally->show(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    connect(add(help, "Content1", QStringLiteral("Content")), &QAction::triggered, this,
            [this] { m_help->show(); });
    help->addSeparator();
    connect(add(help, "About1", QStringLiteral("About")), &QAction::triggered, this,
            [this] { m_about->show(); });
}

void Tchat::createSideWindows() {
    if (!m_windows.isEmpty())
        return;
    m_about = new SideWindow("Tabout", QStringLiteral("Vrako - About"), {330, 250}, this);
    m_help = new SideWindow("Thelp", QStringLiteral("Vrako - Help File"), {560, 400}, this);
    m_serverWindow = new SideWindow("TServer", QStringLiteral("Server"), {200, 100}, this);
    m_spylist = new SpyList(this);
    m_phrases =
        new SideWindow("Tphrases", QStringLiteral("Phrase Buttons - Wordline"), {320, 300}, this);
    m_tally = new SideWindow("Ttallylist", QStringLiteral("Vrako - Tally List"), {468, 365}, this);
    m_gamestart = new GameStartDialog(this);
    auto* download = new DownloadWindow(this);
    connect(download, &DownloadWindow::messageWanted, this,
            [this](const QString& text) { showMessage(text, false); });
    m_download = download;
    m_windows = {m_about,   m_help,  m_serverWindow, m_spylist,
                 m_phrases, m_tally, m_gamestart,    m_download};

    connect(m_spylist, &SpyList::kickRequested, m_game, &ClientGame::kicking);
    connect(m_game, &ClientGame::spiesChanged, this,
            [this] { m_spylist->setEntries(m_game->spies()); });
    connect(m_gamestart, &GameStartDialog::startRequested, this,
            [this](const QString& score, const QString& type) {
                m_conn->send(QByteArray::fromStdString(msg::startgame(
                    m_game->playername().toStdString(), score.toInt(), type.toStdString())));
            });
    connect(m_game, &ClientGame::gameStartWanted, this, [this] {
        m_gamestart->centreOn(this);
        m_gamestart->show();
        m_gamestart->raise();
    });
}

void Tchat::wireGame() {
    connect(m_conn, &ClientConnection::messageReceived, m_game,
            [this](const std::string& m) { m_game->dispatch(m); });
    connect(m_conn, &ClientConnection::socketClosed, this, [this] {
        // A "Game is full" box closes the window itself once the player has read it.
        if (!m_closeAfterMessage)
            close();
    });
    if (auto* entry = m_chat->findChild<QWidget*>(QStringLiteral("mychat")))
        entry->installEventFilter(this);
    connect(m_conn, &ClientConnection::errorReported, this, [this](const QString& message) {
        if (!m_game->loggedin())
            m_chat->addlinetochat(QStringLiteral("0+Cannot connect to the game: ") + message,
                                  ClientGame::kBlue);
    });
    connect(m_game, &ClientGame::sendRequested, m_conn, &ClientConnection::send);
    connect(m_chat, &ChatPanel::sendRequested, m_conn, &ClientConnection::send);
    connect(m_game, &ClientGame::chatLine, m_chat, &ChatPanel::addlinetochat);
    connect(m_game, &ClientGame::chatReceived, m_chat, &ChatPanel::chatrecieved);
    connect(m_game, &ClientGame::soundRequested, m_sounds, &SoundPlayer::play);
    connect(m_game, &ClientGame::closeRequested, this, &QWidget::close);
    connect(m_game, &ClientGame::gameFull, this,
            [this] { showMessage(QStringLiteral("Game is full"), true); });
    connect(m_game, &ClientGame::notConnected, this,
            [this] { showMessage(QStringLiteral("You are not connected"), false); });
    connect(m_game, &ClientGame::changed, this, &Tchat::syncMenus);
}

bool Tchat::eventFilter(QObject* watched, QEvent* event) {
    // Escape in the chat entry hands the keyboard to the table for keyboard play.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_board->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tchat::syncMenus() {
    m_justWatch->setChecked(m_game->justWatchChecked());
    m_chat->setLoggedIn(m_game->loggedin());
    m_chat->setMySeat(m_game->myseat());
}

void Tchat::showMessage(const QString& text, bool closeAfter) {
    auto* box =
        new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Vrako"), text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("messagebox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (closeAfter) {
        m_closeAfterMessage = true;
        connect(box, &QMessageBox::finished, this, &QWidget::close);
    }
    box->open();
}

void Tchat::chooseTextColour() {
    const QColor chosen = QColorDialog::getColor(Qt::black, this);
    if (chosen.isValid())
        m_chat->setChatColour(quint32(chosen.red()) | quint32(chosen.green()) << 8 |
                              quint32(chosen.blue()) << 16);
}

void Tchat::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_paramsRead)
        return;
    m_paramsRead = true;
    createSideWindows();
    QStringList args = QApplication::arguments();
    if (!args.isEmpty())
        args.removeFirst();
    processparams(args);
}

void Tchat::processparams(const QStringList& args) {
    createSideWindows();
    // The role is taken once: showing the window later must not read the command line again.
    m_paramsRead = true;
    m_startGame->setEnabled(false);
    m_game->setHosting(false);
    if (args.isEmpty()) {
        m_chat->addlinetochat(QStringLiteral("0+Loading Solo Game..Please wait."),
                              ClientGame::kBlue);
        m_download->show();
        m_hostaddress = QStringLiteral("127.0.0.1");
        m_game->setPlayerName(QStringLiteral("You"));
        hostpress();
        return;
    }
    m_chat->addlinetochat(QStringLiteral("0+Loading Multi-player Game.. Please Wait."),
                          ClientGame::kBlue);
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

void Tchat::hostpress() {
    if (!m_server) {
        QObject* owner = m_serverWindow ? static_cast<QObject*>(m_serverWindow) : this;
        m_server = new TServer(QRandomGenerator::system()->generate64(), owner);
        m_server->setBotSpeed(m_botSpeed->checkedAction()->data().toInt());
    }
    try {
        m_server->listen(m_settings.port);
    } catch (const ESockException& e) {
        // Without our own server there is nothing to host: say why and take no role.
        showMessage(QString::fromUtf8(e.what()), false);
        return;
    }
    m_game->setHosting(true);
    // Our own server: with port 0 the system chose the port it listens on.
    m_conn->open(QStringLiteral("127.0.0.1"),
                 m_server->port() ? m_server->port() : m_settings.port);
    m_startGame->setEnabled(true);
    if (m_spylist)
        m_spylist->setRemoveEnabled(true);
}

void Tchat::joinpress() {
    m_conn->open(m_hostaddress, m_settings.port);
    m_startGame->setEnabled(false);
    m_game->setHosting(false);
}

void Tchat::openLobbyConnection() {
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

void Tchat::ResetLocation1Click() {
    move(3, 3); // the frame's corner
    resize(kBoardSize);
}

void Tchat::resizeEvent(QResizeEvent* event) {
    // The client area never gets smaller than the board and a small frame round it.
    QMainWindow::resizeEvent(event);
    const QSize minimum = kBoardSize + QSize(8, 8);
    if (m_clientArea->width() < minimum.width() || m_clientArea->height() < minimum.height())
        resize(width() + std::max(0, minimum.width() - m_clientArea->width()),
               height() + std::max(0, minimum.height() - m_clientArea->height()));
}

void Tchat::closeEvent(QCloseEvent* event) {
    for (SideWindow* w : m_windows)
        w->hide();
    QMainWindow::closeEvent(event);
}

} // namespace vrako
