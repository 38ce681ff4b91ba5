// SPDX-License-Identifier: MIT
// The main window's menus: their entries, and what each entry changes and saves.
#include "chat/chatpanel.h"
#include "chat/chattersounds.h"
#include "chat/phrasebar.h"
#include "game/clientgame.h"
#include "server/tserver.h"
#include "shell/tchat.h"
#include "store/tallybook.h"
#include "widgets/soundplayer.h"
#include "widgets/textstyles.h"
#include "windows/hostjoindialog.h"
#include "windows/invitefriends.h"
#include "windows/spylist.h"
#include "windows/tabout.h"
#include "windows/tdownload.h"
#include "windows/thelp.h"
#include "windows/tphrases.h"
#include "windows/ttallylist.h"

#include <QActionGroup>
#include <QColorDialog>
#include <QMenuBar>
#include <QMessageBox>

namespace vrako {
namespace {

QAction* addEntry(QMenu* menu, const char* name, const QString& caption, bool checkable = false) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    a->setCheckable(checkable);
    return a;
}

} // namespace

void Tchat::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    m_startGame = addEntry(file, "StartGame1", QStringLiteral("Start Game"));
    m_startGame->setEnabled(false);
    connect(m_startGame, &QAction::triggered, &game(), &ClientGame::button_startClick);
    connect(addEntry(file, "HostOrJoin1", QStringLiteral("Host or Join a Game...")),
            &QAction::triggered, this, &Tchat::hostOrJoin);
    m_inviteFriends = addEntry(file, "InviteFriends1", QStringLiteral("Invite Friends..."));
    m_inviteFriends->setEnabled(false);
    connect(m_inviteFriends, &QAction::triggered, this, &Tchat::inviteFriends);
    file->addSeparator();
    connect(addEntry(file, "Exit1", QStringLiteral("Exit")), &QAction::triggered, this,
            &QWidget::close);

    buildOptionsMenu(menuBar()->addMenu(QStringLiteral("Options")));

    QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
    connect(addEntry(view, "SpyList1", QStringLiteral("Spy List")), &QAction::triggered, this,
            [this] {
                m_spylist->show();
                m_spylist->raise();
            });
    connect(addEntry(view, "PhraseList1", QStringLiteral("Phrase List")), &QAction::triggered, this,
            [this] {
                m_phrases->setPhrases(m_phraseBar->phrases());
                m_phrases->show();
                m_phrases->raise();
            });
    connect(addEntry(view, "TallyList1", QStringLiteral("Tally List")), &QAction::triggered, this,
            [this] {
                if (game().isPlayer())
                    m_tally->loadchecklist(
                        TallyBook::playersInCurrentGame(game().myseat(), game().tableNames()));
                m_tally->show();
                m_tally->raise();
            });

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    connect(addEntry(help, "Content1", QStringLiteral("Content")), &QAction::triggered, this,
            [this] { m_help->show(); });
    help->addSeparator();
    connect(addEntry(help, "About1", QStringLiteral("About")), &QAction::triggered, this,
            [this] { m_about->show(); });

    // The link from the internet joins the list once the router forwards the port.
    connect(m_session, &Session::portMapped, this, [this] {
        if (m_invite && m_invite->isVisible())
            m_invite->setLinks(m_session->inviteLinks());
    });

    // An invite link on the command line: one click joins, or the player learns why not and
    // chooses another way in.
    connect(m_session, &Session::inviteOpened, this,
            [this](const QString& host, quint16 port) { hostOrJoin()->setJoinTarget(host, port); });
    connect(m_session, &Session::inviteRejected, this, [this](const QString& why) {
        offerWaysOn(why, {},
                    {{QStringLiteral("Host or Join..."), "hostorjoin", [this] { hostOrJoin(); }},
                     {QStringLiteral("Play Solo"), "playsolo", [this] { m_session->playSolo(); }},
                     {QStringLiteral("Quit"), "quit", [this] { close(); }}});
    });
}

// Each entry applies its preference at once (also when the settings file sets it) and, when
// the user chose it, saves the file.
void Tchat::buildOptionsMenu(QMenu* options) {
    Preferences& prefs = m_session->preferences();
    m_playSounds = addEntry(options, "PlaySounds1", QStringLiteral("Play Sounds"), true);
    m_playSounds->setChecked(m_sounds->isEnabled());
    connect(m_playSounds, &QAction::toggled, m_sounds, &SoundPlayer::setEnabled);
    connect(m_playSounds, &QAction::triggered, this, [this, &prefs](bool on) {
        prefs.playSounds = on;
        saveinifile(Preferences::PlaySounds);
    });
    m_playChatter =
        addEntry(options, "PlayChatterSounds1", QStringLiteral("Play Chatter Sounds"), true);
    connect(m_playChatter, &QAction::toggled, m_chatter, &ChatterSounds::setEnabled);
    connect(m_playChatter, &QAction::triggered, this, [this, &prefs](bool on) {
        prefs.chatterSounds = on;
        saveinifile(Preferences::ChatterSounds);
    });

    QMenu* turnSound = options->addMenu(QStringLiteral("Turn Sound"));
    turnSound->menuAction()->setObjectName(QStringLiteral("TurnSound1"));
    m_turnSound = new QActionGroup(this);
    QAction* classic = addEntry(turnSound, "Classic1", QStringLiteral("Classic"), true);
    QAction* fresh = addEntry(turnSound, "New1", QStringLiteral("New"), true);
    classic->setData(0);
    fresh->setData(1);
    m_turnSound->addAction(classic);
    m_turnSound->addAction(fresh);
    classic->setChecked(true);
    connect(fresh, &QAction::toggled, &game(), &ClientGame::setTurnSoundNew);
    connect(m_turnSound, &QActionGroup::triggered, this, [this, &prefs](QAction* a) {
        prefs.turnSound = a->data().toInt();
        saveinifile(Preferences::TurnSound);
    });

    m_autoSort = addEntry(options, "AutomaticallySortCards1",
                          QStringLiteral("Automatically Sort Cards"), true);
    connect(m_autoSort, &QAction::toggled, &game(), &ClientGame::setAutoSort);
    connect(m_autoSort, &QAction::triggered, this, [this, &prefs](bool on) {
        prefs.sort = on;
        saveinifile(Preferences::Sort);
    });

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
        QAction* a = addEntry(botSpeed, s.name, QLatin1String(s.caption), true);
        a->setData(s.ms);
        m_botSpeed->addAction(a);
    }
    showBotSpeed(m_session->botSpeed());
    connect(m_botSpeed, &QActionGroup::triggered, this, [this](QAction* a) {
        m_session->setBotSpeed(a->data().toInt());
        saveinifile(Preferences::BotSpeed);
    });

    options->addSeparator();
    connect(addEntry(options, "TextColor1", QStringLiteral("Text Color")), &QAction::triggered,
            this, &Tchat::chooseTextColour);
    QMenu* textSize = options->addMenu(QStringLiteral("Text Size"));
    textSize->menuAction()->setObjectName(QStringLiteral("TextSize1"));
    for (int size : {8, 10, 12, 14}) {
        QAction* a = textSize->addAction(QString::number(size));
        a->setObjectName(QStringLiteral("TextSize%1").arg(size));
        a->setCheckable(true);
        a->setData(size);
        m_textSizes.append(a);
        connect(a, &QAction::triggered, this, [this, size] { chooseTextSize(size); });
    }
    connect(addEntry(options, "ResetLocation1", QStringLiteral("Reset Screen Location")),
            &QAction::triggered, this, &Tchat::ResetLocation1Click);
    options->addSeparator();
    options->addAction(m_chat->scrollChatOffAction());
    options->addAction(m_chat->clearMainChatAction());
    options->addSeparator();
    m_portMapping =
        addEntry(options, "OpenGamePort1", QStringLiteral("Open the Game Port on My Router"), true);
    m_portMapping->setChecked(prefs.upnp);
    connect(m_portMapping, &QAction::triggered, this, [this](bool on) {
        m_session->setPortMapping(on);
        saveinifile(Preferences::Upnp);
    });
    options->addSeparator();
    m_justWatch = addEntry(options, "JustWatch1", QStringLiteral("Just Watch"), true);
    // The check mark follows the server's answer, not the click.
    connect(m_justWatch, &QAction::triggered, this, [this] {
        m_justWatch->setChecked(game().justWatchChecked());
        game().JustWatch1Click();
    });
}

void Tchat::syncMenus() {
    m_justWatch->setChecked(game().justWatchChecked());
    // Seats 5 and up watch; the server ignores their chatter sounds.
    m_phraseBar->setSoundsAllowed(game().myseat() <= 4);
}

void Tchat::showBotSpeed(int ms) {
    for (QAction* a : m_botSpeed->actions())
        if (a->data().toInt() == ms)
            a->setChecked(true);
}

void Tchat::showTextSize(int points) {
    // A size without an entry checks none.
    for (QAction* a : m_textSizes)
        a->setChecked(a->data().toInt() == points);
}

void Tchat::chooseTextSize(int points) {
    m_chat->setTextSize(points);
    showTextSize(points);
    m_session->preferences().textSize = points;
    saveinifile(Preferences::TextSize);
}

void Tchat::chooseTextColour() {
    const QColor chosen = QColorDialog::getColor(colourFromValue(m_chat->chatColour()), this);
    if (!chosen.isValid())
        return;
    const quint32 value = static_cast<quint32>(chosen.red()) |
                          static_cast<quint32>(chosen.green()) << 8 |
                          static_cast<quint32>(chosen.blue()) << 16;
    m_chat->setChatColour(value);
    m_session->preferences().textColour = value;
    saveinifile(Preferences::TextColour);
}

HostJoinDialog* Tchat::hostOrJoin() {
    Preferences& prefs = m_session->preferences();
    // Before the connection the file has not been read, but the last choices are in it.
    const Preferences stored = m_session->storedPreferences();
    auto* dialog = new HostJoinDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setPort(m_session->settings().port);
    dialog->setLastName(stored.lastName.isEmpty() ? game().playername() : stored.lastName);
    dialog->setLastAddress(stored.lastAddress);
    connect(dialog, &QDialog::accepted, this, [this, dialog, &prefs] {
        prefs.lastName = dialog->lastName();
        prefs.lastAddress = dialog->lastAddress();
        saveinifile(Preferences::LastName | Preferences::LastAddress);
        saveOnExit();
        if (m_session->handOver([dialog] { return dialog->startGame(); }))
            close();
        else
            showMessage(QStringLiteral("The game could not be started."), false);
    });
    dialog->open();
    return dialog;
}

void Tchat::inviteFriends() {
    if (!m_session->server())
        return;
    if (!m_invite)
        m_invite = new InviteFriendsWindow(this);
    // The addresses may have changed since the window was last shown.
    m_invite->setLinks(m_session->inviteLinks());
    m_invite->show();
    m_invite->raise();
}

} // namespace vrako
