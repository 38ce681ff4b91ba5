// SPDX-License-Identifier: MIT
#include "shell/tchat.h"

#include "board/boardview.h"
#include "chat/chatedit.h"
#include "chat/chatpanel.h"
#include "chat/chattersounds.h"
#include "chat/phrasebar.h"
#include "game/clientgame.h"
#include "net/messages.h"
#include "store/tallybook.h"
#include "widgets/cardart.h"
#include "widgets/soundplayer.h"
#include "windows/gamestartdialog.h"
#include "windows/sidewindow.h"
#include "windows/spylist.h"
#include "windows/tabout.h"
#include "windows/tdownload.h"
#include "windows/thelp.h"
#include "windows/tphrases.h"
#include "windows/ttallylist.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace vrako {
namespace {

constexpr QSize kBoardSize = BoardView::kSize;
// The client area is never smaller than the board at its smallest scale and a small frame
// round it.
constexpr QSize kMinimumClient = BoardView::kMinimumSize + QSize(8, 8);
// The client area round the board at scale 1, which the old rule kept as its minimum:
// "Reset Screen Location" and bounds read from the settings file give at least this.
constexpr QSize kDesignClient = kBoardSize + QSize(8, 8);

} // namespace

Tchat::Tchat(const ProgramSettings& settings, QWidget* parent)
    // Held for the whole run so the lobby can tell that a game is open; never waited on.
    : QMainWindow(parent), m_lock(QStringLiteral("vrako"), 1) {
    setObjectName(QStringLiteral("Tchat"));
    setWindowTitle(QStringLiteral("Vrako - Dovi42 Software"));

    m_session = new Session(settings, this);
    m_sounds = new SoundPlayer(this);
    m_chatter = new ChatterSounds(m_sounds, this);

    m_clientArea = new QWidget(this);
    m_clientArea->setObjectName(QStringLiteral("clientarea"));
    m_clientArea->setAutoFillBackground(true);
    QPalette pal = m_clientArea->palette();
    pal.setColor(QPalette::Window, QColor(art::kBoardColour));
    m_clientArea->setPalette(pal);
    m_clientArea->setMinimumSize(kMinimumClient);
    setCentralWidget(m_clientArea);

    // The board fills the client area but for a small frame: 3, 4 from the top left and as
    // much at the other sides, which puts a 653 x 505 board in the 660 x 512 area at scale 1.
    m_board = new BoardView(&game(), m_clientArea);
    m_board->move(3, 4); // where the layout puts it, already before the window is first shown
    auto* frame = new QVBoxLayout(m_clientArea);
    frame->setContentsMargins(3, 4, 4, 3);
    frame->addWidget(m_board);
    m_chat = new ChatPanel(m_board);
    m_phraseBar = new PhraseBar(m_board);
    connect(m_board, &BoardView::laidOut, this, &Tchat::layOutChat);
    layOutChat();

    buildMenus();
    wireGame();
    resize(fittedToScreen(QSize(660, 512 + menuBar()->sizeHint().height())));
    m_session->loadTally();
}

void Tchat::layOutChat() {
    // Below the table, the phrase buttons and the chat take the board's whole width and the
    // height the table leaves: at scale 1 the buttons at 5, 341 and the chat at 5, 364.
    const BoardView& b = *m_board;
    m_phraseBar->setScale(b.scale());
    m_chat->setScale(b.scale());
    const int margin = b.scaled(5);
    const int bottom = b.height() - b.scaled(3);
    // The chat keeps three lines even where the table, at a small scale, leaves less room.
    const int chatTop =
        std::max(0, std::min(b.scaled(BoardView::kChatTop), bottom - m_chat->heightForLines(3)));
    m_chat->setGeometry(margin, chatTop, b.width() - 2 * margin, bottom - chatTop);
    const int gap =
        b.scaled(BoardView::kChatTop - BoardView::kPhraseRowTop) - m_phraseBar->height();
    m_phraseBar->move(margin, chatTop - gap - m_phraseBar->height());
}

Tchat::~Tchat() = default;

QAction* Tchat::action(const char* objectName) const {
    return findChild<QAction*>(QLatin1String(objectName));
}

void Tchat::createSideWindows() {
    if (!m_windows.isEmpty())
        return;
    m_about = new Tabout(this);
    m_help = new Thelp(this);
    m_serverWindow = new SideWindow("TServer", QStringLiteral("Server"), {200, 100}, this);
    m_spylist = new SpyList(this);
    m_phrases = new Tphrases(this);
    m_tally = new Ttallylist(&m_session->tally(), this);
    m_gamestart = new GameStartDialog(this);
    m_download = new Tdownload(this);
    m_windows = {m_about,   m_help,  m_serverWindow, m_spylist,
                 m_phrases, m_tally, m_gamestart,    m_download};
    wireSideWindows();
}

void Tchat::wireSideWindows() {
    connect(m_help, &Thelp::aboutRequested, m_about, &QWidget::show);

    connect(m_spylist, &SpyList::kickRequested, &game(), &ClientGame::kicking);
    connect(&game(), &ClientGame::spiesChanged, this,
            [this] { m_spylist->setEntries(game().spies()); });
    m_spylist->setRemoveEnabled(m_session->hosting());

    connect(m_phrases, &Tphrases::phrasesChanged, this, [this](const QStringList& phrases) {
        const QStringList before = m_phraseBar->phrases();
        m_phraseBar->setPhrases(phrases);
        const QStringList after = m_phraseBar->phrases();
        Preferences::Keys chosen;
        for (int n = 1; n <= after.size(); ++n)
            if (after[n - 1] != before.value(n - 1))
                chosen |= Preferences::phraseKey(n);
        m_session->preferences().phrases = after;
        m_session->savePhrases(chosen);
    });

    connect(m_gamestart, &GameStartDialog::startRequested, this, [this](int score, GameType type) {
        game().startGame(score, type);
        Preferences& prefs = m_session->preferences();
        prefs.playToScore = m_gamestart->playToScore();
        prefs.gameType = m_gamestart->gameType();
        saveinifile(Preferences::PlayToScore | Preferences::GameType);
    });
    connect(&game(), &ClientGame::gameStartWanted, this, [this] {
        m_gamestart->centreOn(this);
        m_gamestart->show();
        m_gamestart->raise();
    });

    m_download->setUrl(Tdownload::lobbyUrlFromEnvironment());
    m_download->setDataFolder(m_session->settings().home);
    connect(m_download, &Tdownload::messageWanted, this,
            [this](const QString& text) { showMessage(text, false); });
    connect(m_download, &Tdownload::quitRequested, this, &QWidget::close);
}

void Tchat::wireGame() {
    ClientGame* g = &game();
    connect(m_session, &Session::reconnecting, this, &Tchat::showReconnecting);
    connect(m_session, &Session::reconnected, this, &Tchat::dismissReconnecting);
    connect(m_session, &Session::gameEnded, this, [this](const QString& why) {
        dismissReconnecting();
        // A box already on its way to closing the window (a full game) has said enough.
        if (!m_closing && !m_closeAfterMessage)
            showMessage(why, true);
    });
    connect(m_session, &Session::portBusy, this,
            [this](const QString& text, const QString& report) {
                offerWaysOn(
                    text, report,
                    {{QStringLiteral("Join That Game"), "joingame",
                      [this] { m_session->joinBusyPort(); }},
                     {QStringLiteral("Play Solo"), "playsolo", [this] { m_session->playSolo(); }},
                     {QStringLiteral("Quit"), "quit", [this] { close(); }}});
            });
    connect(m_session, &Session::connectFailed, this,
            [this](const QString& text, const QString& report) {
                offerWaysOn(
                    text, report,
                    {{QStringLiteral("Try Again"), "tryagain",
                      [this] { m_session->retryConnection(); }},
                     {QStringLiteral("Host or Join..."), "hostorjoin", [this] { hostOrJoin(); }},
                     {QStringLiteral("Quit"), "quit", [this] { close(); }}});
            });
    connect(m_session, &Session::systemLine, m_chat, &ChatPanel::addSystemLine);
    connect(m_session, &Session::messageWanted, this,
            [this](const QString& text) { showMessage(text, false); });
    connect(m_session, &Session::hostingChanged, this, &Tchat::showHosting);
    connect(m_session, &Session::soloStarted, this, [this] {
        m_download->centreOn(this);
        m_download->show();
    });

    // The chat entry has the keyboard; Tab or Escape there lends it to the table, which gives
    // it back (see eventFilter and BoardView).
    m_chat->mychat()->installEventFilter(this);
    m_chat->mychat()->setFocus();
    m_board->setKeyboardHome(m_chat->mychat());
    m_chat->setReadiness([g] { return g->loggedin(); });
    // An honest player never types a line the server would refuse to relay.
    m_chat->mychat()->setMaxLength(msg::kMaxChatText);
    connect(m_chat, &ChatPanel::chatWanted, g, &ClientGame::sendChat);
    connect(m_chat, &ChatPanel::actionWanted, g, &ClientGame::sendAction);
    connect(m_phraseBar, &PhraseBar::actionWanted, this,
            [this, g](const QString& text) { g->sendAction(text, m_chat->chatColour()); });
    connect(m_phraseBar, &PhraseBar::soundWanted, g, &ClientGame::sendSound);

    m_chatter->setNameLookup(
        [g](int seat) { return seat >= 1 && seat <= 4 ? g->seat(seat).name : QString(); });
    connect(g, &ClientGame::chatterSound, m_chatter,
            qOverload<int, const QString&>(&ChatterSounds::playasound));
    connect(m_chatter, &ChatterSounds::systemLine, m_chat, &ChatPanel::addSystemLine);

    connect(g, &ClientGame::systemLine, m_chat, &ChatPanel::addSystemLine);
    connect(g, &ClientGame::chatReceived, m_chat, &ChatPanel::chatrecieved);
    connect(g, &ClientGame::soundRequested, m_sounds, &SoundPlayer::play);
    connect(g, &ClientGame::settingsWanted, this, &Tchat::loadinifile);
    // The side windows exist once the role is taken, before any game can be won.
    connect(g, &ClientGame::gameWon, this, [this](int seat) {
        if (m_tally)
            m_tally->gameWon(game().myseat(), seat, game().tableNames());
    });
    connect(g, &ClientGame::gameFull, this, [this] {
        // Coming back to a host that still counts the dead connection: the session tries again.
        if (!m_session->isReconnecting())
            showMessage(QStringLiteral("Game is full"), true);
    });
    connect(g, &ClientGame::notConnected, this,
            [this] { showMessage(QStringLiteral("You are not connected"), false); });
    connect(g, &ClientGame::changed, this, &Tchat::syncMenus);
}

bool Tchat::eventFilter(QObject* watched, QEvent* event) {
    // Tab or Escape in the chat entry hands the keyboard to the table for keyboard play.
    if (watched == m_chat->mychat() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape) {
            m_board->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tchat::showHosting(bool hosting) {
    m_startGame->setEnabled(hosting);
    // Only a table others may join is worth inviting to: not a solo game.
    m_inviteFriends->setEnabled(hosting && m_session->announcer());
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

void Tchat::showReconnecting(int secondsLeft) {
    if (!m_reconnectBox) {
        // Not modal: the table and the chat stay readable while the connection comes back.
        m_reconnectBox = new QMessageBox(QMessageBox::Warning, QStringLiteral("Vrako"), QString(),
                                         QMessageBox::Cancel, this);
        m_reconnectBox->setObjectName(QStringLiteral("reconnectbox"));
        m_reconnectBox->setModal(false);
        connect(m_reconnectBox, &QMessageBox::rejected, m_session, &Session::cancelReconnect);
        m_reconnectBox->show();
    }
    m_reconnectBox->setText(
        QStringLiteral("Connection to the host lost. Reconnecting... (%1 s)").arg(secondsLeft));
}

void Tchat::dismissReconnecting() {
    if (!m_reconnectBox)
        return;
    QMessageBox* box = m_reconnectBox;
    m_reconnectBox.clear();
    // Cancel may be why the game ends: the box goes once its click is handled, and the box that
    // says why the run ends is then the window's only one.
    box->disconnect(m_session);
    box->hide();
    box->setParent(nullptr);
    box->deleteLater();
}

void Tchat::offerWaysOn(const QString& text, const QString& report, const QList<WayOn>& ways) {
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Vrako"), text,
                                QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("messagebox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setDetailedText(report);
    for (qsizetype i = 0; i < ways.size(); ++i) {
        const WayOn& way = ways[i];
        // The last way gives up, and Escape takes it.
        QPushButton* button = box->addButton(
            way.caption, i + 1 == ways.size() ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        button->setObjectName(QLatin1String(way.name));
        connect(button, &QPushButton::clicked, this, way.take);
        if (i == 0)
            box->setDefaultButton(button);
    }
    box->open();
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
    // The default window size, widened to the board at scale 1 as the resize rule always did.
    resize(fittedToScreen(kBoardSize.expandedTo(designWindowSize())));
}

QSize Tchat::designWindowSize() const {
    return kDesignClient + QSize(0, menuBar()->sizeHint().height());
}

void Tchat::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_clientArea->width() < kMinimumClient.width() ||
        m_clientArea->height() < kMinimumClient.height())
        resize(width() + std::max(0, kMinimumClient.width() - m_clientArea->width()),
               height() + std::max(0, kMinimumClient.height() - m_clientArea->height()));
}

void Tchat::closeEvent(QCloseEvent* event) {
    m_closing = true;
    saveOnExit();
    for (QWidget* w : m_windows)
        w->hide();
    QMainWindow::closeEvent(event);
}

} // namespace vrako
