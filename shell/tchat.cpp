// SPDX-License-Identifier: MIT
#include "shell/tchat.h"

#include "chat/chatpanel.h"
#include "client/boardview.h"
#include "client/clientconnection.h"
#include "client/clientgame.h"
#include "server/tserver.h"
#include "widgets/cardart.h"
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
#include <QScreen>

namespace vrako {
namespace {

constexpr QSize kBoardSize = BoardView::kSize;

} // namespace

Tchat::Tchat(const ProgramSettings& settings, QWidget* parent)
    // Held for the whole run so the lobby can tell that a game is open; never waited on.
    : QMainWindow(parent), m_lock(QStringLiteral("vrako"), 1) {
    setObjectName(QStringLiteral("Tchat"));
    setWindowTitle(QStringLiteral("Vrako - Dovi42 Software"));

    m_session = new Session(settings, this);
    m_sounds = new SoundPlayer(this);

    m_clientArea = new QWidget(this);
    m_clientArea->setObjectName(QStringLiteral("clientarea"));
    m_clientArea->setAutoFillBackground(true);
    QPalette pal = m_clientArea->palette();
    pal.setColor(QPalette::Window, QColor(art::kBoardColour));
    m_clientArea->setPalette(pal);
    m_clientArea->setMinimumSize(kBoardSize + QSize(8, 8));
    setCentralWidget(m_clientArea);

    m_board = new BoardView(&game(), m_clientArea);
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
    connect(m_startGame, &QAction::triggered, &game(), &ClientGame::button_startClick);
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
    connect(fresh, &QAction::toggled, &game(), &ClientGame::setTurnSoundNew);

    QAction* autoSort =
        add(options, "AutomaticallySortCards1", QStringLiteral("Automatically Sort Cards"));
    autoSort->setCheckable(true);
    connect(autoSort, &QAction::toggled, &game(), &ClientGame::setAutoSort);

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
        a->setChecked(s.ms == m_session->botSpeed());
        m_botSpeed->addAction(a);
    }
    connect(m_botSpeed, &QActionGroup::triggered, this,
            [this](QAction* a) { m_session->setBotSpeed(a->data().toInt()); });

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
        m_justWatch->setChecked(game().justWatchChecked());
        game().JustWatch1Click();
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

    connect(m_spylist, &SpyList::kickRequested, &game(), &ClientGame::kicking);
    connect(&game(), &ClientGame::spiesChanged, this,
            [this] { m_spylist->setEntries(game().spies()); });
    m_spylist->setRemoveEnabled(m_session->hosting());
    connect(m_gamestart, &GameStartDialog::startRequested, &game(), &ClientGame::startGame);
    connect(&game(), &ClientGame::gameStartWanted, this, [this] {
        m_gamestart->centreOn(this);
        m_gamestart->show();
        m_gamestart->raise();
    });
}

void Tchat::wireGame() {
    ClientGame* g = &game();
    connect(m_session, &Session::connectionClosed, this, [this] {
        // A "Game is full" box closes the window itself once the player has read it.
        if (!m_closeAfterMessage)
            close();
    });
    connect(m_session, &Session::systemLine, m_chat, &ChatPanel::addSystemLine);
    connect(m_session, &Session::messageWanted, this,
            [this](const QString& text) { showMessage(text, false); });
    connect(m_session, &Session::hostingChanged, this, &Tchat::showHosting);
    connect(m_session, &Session::soloStarted, this, [this] { m_download->show(); });
    if (auto* entry = m_chat->findChild<QWidget*>(QStringLiteral("mychat")))
        entry->installEventFilter(this);
    m_chat->setReadiness([g] { return g->loggedin(); });
    connect(m_chat, &ChatPanel::chatWanted, g, &ClientGame::sendChat);
    connect(m_chat, &ChatPanel::actionWanted, g, &ClientGame::sendAction);
    connect(g, &ClientGame::systemLine, m_chat, &ChatPanel::addSystemLine);
    connect(g, &ClientGame::chatReceived, m_chat, &ChatPanel::chatrecieved);
    connect(g, &ClientGame::soundRequested, m_sounds, &SoundPlayer::play);
    connect(g, &ClientGame::closeRequested, this, &QWidget::close);
    connect(g, &ClientGame::gameFull, this,
            [this] { showMessage(QStringLiteral("Game is full"), true); });
    connect(g, &ClientGame::notConnected, this,
            [this] { showMessage(QStringLiteral("You are not connected"), false); });
    connect(g, &ClientGame::changed, this, &Tchat::syncMenus);
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
    m_justWatch->setChecked(game().justWatchChecked());
}

void Tchat::showHosting(bool hosting) {
    m_startGame->setEnabled(hosting);
    if (m_spylist)
        m_spylist->setRemoveEnabled(hosting);
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
    m_session->processparams(args);
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
