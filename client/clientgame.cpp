// SPDX-License-Identifier: MIT
#include "client/clientgame.h"

#include "chat/colourtext.h"
#include "net/commands.h"
#include "net/fieldreader.h"
#include "net/messages.h"
#include "support/cards.h"

#include <algorithm>

namespace vrako {
namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace

ClientGame::ClientGame(QObject* parent) : QObject(parent) {
    m_botnames = {QString(), QString(), QStringLiteral("Klot"), QStringLiteral("Klitz"),
                  QStringLiteral("Kling")};
    m_position = {SeatPosition::Bottom, SeatPosition::Bottom, SeatPosition::Left, SeatPosition::Top,
                  SeatPosition::Right};
}

void ClientGame::setHosting(bool on) {
    m_hosting = on;
    m_startButton = on;
    emit changed();
}

int ClientGame::seatAt(SeatPosition pos) const {
    for (int s = 1; s <= 4; ++s)
        if (m_position[s] == pos)
            return s;
    return 0;
}

bool ClientGame::fanIsHorizontal(int seat) const {
    if (!validSeat(seat))
        return false;
    const SeatPosition p = m_position[seat];
    return p == SeatPosition::Top || p == SeatPosition::Bottom;
}

QList<int> ClientGame::handIds() const {
    QList<int> ids;
    for (int id : m_handslots) {
        if (id == 0)
            break;
        ids.append(id);
    }
    return ids;
}

const HandCard* ClientGame::card(int id) const {
    if (id < 1 || id > 14 || m_cards[id].id == 0)
        return nullptr;
    return &m_cards[id];
}

void ClientGame::send(const std::string& bytes) {
    emit sendRequested(QByteArray::fromStdString(bytes));
}

// ---------------------------------------------------------------------------------------------
// Dispatch

void ClientGame::dispatch(std::string_view message) {
    const ParsedMessage m = splitCommand(message);
    const std::string_view c = m.command;
    const std::string_view a = m.args;
    if (c.empty())
        return;
    if (c == cmd::sendlogininfo)
        sendloginfo(a);
    else if (c == cmd::chat || c == cmd::action)
        emit chatReceived(qs(a));
    else if (c == cmd::newplayerinfo || c == cmd::existingplayers)
        newplayerinfo(a);
    else if (c == cmd::havewrongversion)
        blueLine(qs(a) + QStringLiteral(" has a different version of the game then you."));
    else if (c == cmd::wrongversion)
        blueLine(QStringLiteral("You have a differnt version of the game then the host."));
    else if (c == cmd::playerdisconnected)
        playerdisconnected(a);
    else if (c == cmd::startgame)
        startthegame(a);
    else if (c == cmd::nextplayer)
        getnextplayer(a);
    else if (c == cmd::winner)
        winner(a);
    else if (c == cmd::full)
        emit gameFull();
    else if (c == cmd::acard)
        acard(a);
    else if (c == cmd::playcard)
        playcard(a);
    else if (c == cmd::nomatch)
        nomatch();
    else if (c == cmd::goplay)
        m_whoseturn = m_myseat;
    else if (c == cmd::playwild)
        playwild(a);
    else if (c == cmd::vrako)
        penalty(QStringLiteral("You've been Vrakod!"));
    else if (c == cmd::nomorecards)
        nomorecards(a);
    else if (c == cmd::cardcount)
        cardcount(a);
    else if (c == cmd::startround)
        startround();
    else if (c == cmd::wingame)
        gamewinner(a);
    else if (c == cmd::thescores)
        thescores(a);
    else if (c == cmd::setdeletecard)
        setdeletecard(a);
    else if (c == cmd::justwatching)
        justwatching(a);
    else if (c == cmd::thecards)
        thecards(a);
    else if (c == cmd::bomb)
        penalty(QStringLiteral("You've been Bombed!"));
    else if (c == cmd::gamestats)
        gamestats(a);
    else if (c == cmd::playasound) {
        FieldReader r(a);
        if (const auto record = r.number())
            emit chatterSound(*record, qs(r.rest()));
        return;
    } else
        return;
    emit changed();
}

// ---------------------------------------------------------------------------------------------
// Login, seats, arrivals and departures

void ClientGame::sendloginfo(std::string_view args) {
    const auto seat = parseNumber(args);
    if (!seat || *seat < 1 || *seat > 9)
        return;
    m_myseat = *seat;
    m_loggedin = true;
    sortstuff();
    send(msg::logininfo(m_myseat, cmd::version, utf8(m_playername)));
}

void ClientGame::sortstuff() {
    const int base = isPlayer() ? m_myseat : 1;
    for (int k = 0; k < 4; ++k) {
        const int seat = (base - 1 + k) % 4 + 1;
        m_position[seat] = static_cast<SeatPosition>(k);
    }
    for (int s = 1; s <= 4; ++s)
        if (m_seats[s].name == QLatin1String("<Waiting>"))
            m_seats[s].name = m_botnames[s];
}

void ClientGame::newplayerinfo(std::string_view args) {
    FieldReader r(args);
    bool any = false;
    while (!r.atEnd()) {
        const auto seat = r.number();
        const QString name = qs(r.field());
        const std::string_view watching = r.field();
        if (!seat || *seat < 1 || *seat > 9)
            break;
        any = true;
        if (*seat == m_myseat) {
            blueLine(QStringLiteral("You are Connected."));
            emit settingsWanted();
        } else {
            blueLine(name + QStringLiteral(" is Connected."));
        }
        if (*seat > 4) {
            m_spies.append({*seat, name});
            emit spiesChanged();
            blueLine(*seat == m_myseat ? QStringLiteral("You are spying.")
                                       : name + QStringLiteral(" is spying."));
        } else {
            m_seats[*seat].name = name;
            if (watching == "1")
                m_seats[*seat].watching = true;
        }
    }
    if (any)
        emit soundRequested(QStringLiteral("entered"));
}

void ClientGame::playerdisconnected(std::string_view args) {
    FieldReader r(args);
    const auto seat = r.number();
    if (!seat)
        return;
    const QString name = qs(r.rest());
    if (m_loggedin && *seat == m_myseat) {
        m_loggedin = false;
        emit closeRequested();
    }
    if (validSeat(*seat)) {
        SeatView& v = m_seats[*seat];
        if (v.name != m_botnames[*seat])
            emit systemLine(v.name + QStringLiteral(" disconnected."), kGrey);
        v.name = m_botnames[*seat];
        v.watching = false;
    } else if (*seat > 4) {
        if (m_spies.removeOne(Spectator{*seat, name})) {
            emit systemLine(name + QStringLiteral(" has left."), kGreen);
            emit spiesChanged();
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Games, rounds and turns

void ClientGame::cleartable() {
    m_handslots.fill(0);
    m_cards.fill(HandCard{});
    m_pendingcard = 0;
    m_chooser = false;
}

void ClientGame::resetCentre() {
    m_colour = 0;
    m_waiting = false;
    m_arrowLeft = true;
    m_arrowRight = false;
    m_othercard = -1;
    m_topcard = card::kRoundStart;
}

void ClientGame::startthegame(std::string_view args) {
    FieldReader r(args);
    const QString starter = qs(r.field());
    const QString score = qs(r.field());
    const std::string_view type = r.field();
    m_playToScore = QStringLiteral("Play to Score: ") + score;
    m_gameType =
        type == "s" ? QStringLiteral("Same Number Game") : QStringLiteral("One More or Less Game");
    m_startButton = false;
    cleartable();
    resetCentre();
    if (isPlayer() && starter == m_playername)
        blueLine(QStringLiteral("You have started a game."));
    else
        blueLine(starter + QStringLiteral(" has started a game."));
    for (int s = 1; s <= 4; ++s) {
        SeatView& v = m_seats[s];
        v.winnerShown = false;
        if (v.name == QLatin1String("<Waiting>"))
            v.name = m_botnames[s];
        v.score = QStringLiteral("0");
    }
}

void ClientGame::getnextplayer(std::string_view args) {
    FieldReader r(args);
    const auto seat = r.number();
    const std::string_view letter = r.field();
    if (!seat || *seat > 4)
        return;
    for (int s = 1; s <= 4; ++s)
        m_seats[s].highlighted = false;
    m_whoseturn = *seat;
    if (*seat == 0)
        return;
    m_arrowLeft = m_arrowRight = false;
    m_drawLabel = false;
    m_seats[*seat].highlighted = true;
    if (*seat == m_myseat) {
        m_turn = QStringLiteral("Your Turn.");
        emit soundRequested(m_turnSoundNew ? QStringLiteral("turnnew") : QStringLiteral("turn"));
        if (letter == "l")
            m_arrowLeft = true;
        else
            m_arrowRight = true;
        m_drawLabel = true;
    } else {
        m_turn = m_seats[*seat].name + QStringLiteral("'s turn.");
    }
}

void ClientGame::startround() {
    cleartable();
    resetCentre();
    m_status = QStringLiteral("New Round!");
}

void ClientGame::gamestats(std::string_view args) {
    FieldReader r(args);
    const auto seat = r.number();
    const auto code = r.number();
    const QString score = qs(r.field());
    const std::string_view type = r.field();
    if (!seat || *seat != m_myseat || !code)
        return;
    m_playToScore = QStringLiteral("Play to Score: ") + score;
    m_gameType =
        type == "s" ? QStringLiteral("Same Number Game") : QStringLiteral("One More or Less Game");
    m_topcard = isColoured(*code) ? *code : card::kEmpty;
    showColourOf(*code);
}

void ClientGame::thescores(std::string_view args) {
    FieldReader r(args);
    for (int s = 1; s <= 4; ++s)
        m_seats[s].score = qs(r.field());
}

void ClientGame::playwild(std::string_view args) {
    const auto colour = parseNumber(args);
    if (!colour || !isColourCode(*colour))
        return;
    m_colour = colourIndexOf(*colour);
    m_status = QStringLiteral("New Color is %1!").arg(QLatin1String(colourTitle(*colour)));
}

void ClientGame::penalty(const QString& text) {
    emit soundRequested(QStringLiteral("vrakod"));
    m_status = text;
}

void ClientGame::winner(std::string_view args) {
    const auto seat = FieldReader(args).number();
    if (!seat || !validSeat(*seat))
        return;
    emit soundRequested(QStringLiteral("roundwinner"));
    m_turn.clear();
    m_othercard = -1;
    m_arrowLeft = m_arrowRight = false;
    m_waiting = true;
    m_status = m_seats[*seat].name + QStringLiteral(" Won the Round!");
}

void ClientGame::gamewinner(std::string_view args) {
    const auto seat = parseNumber(args);
    if (!seat || !validSeat(*seat))
        return;
    cleartable();
    for (int s = 1; s <= 4; ++s)
        m_seats[s].fanCount = 0;
    m_turn.clear();
    m_waiting = false;
    emit soundRequested(QStringLiteral("winner"));
    m_status = m_seats[*seat].name + QStringLiteral(" Wins!");
    m_seats[*seat].winnerShown = true;
    if (isPlayer())
        emit tallyRecorded(*seat == m_myseat ? QStringLiteral("addtomine") : m_seats[*seat].name);
    if (m_hosting)
        m_startButton = true;
}

void ClientGame::button_startClick() {
    if (m_loggedin)
        emit gameStartWanted();
    else
        emit notConnected();
}

void ClientGame::startGame(int playToScore, GameType type) {
    send(msg::startgame(utf8(m_playername), playToScore, std::string(1, static_cast<char>(type))));
}

// ---------------------------------------------------------------------------------------------
// Chat and chatter sounds

bool ClientGame::sendChat(const QString& text, quint32 colour) {
    if (!m_loggedin)
        return false;
    send(msg::chat(m_myseat, utf8(text), utf8(colourToText(colour))));
    return true;
}

bool ClientGame::sendAction(const QString& text, quint32 colour) {
    if (!m_loggedin)
        return false;
    send(msg::action(m_myseat, utf8(text), utf8(colourToText(colour))));
    return true;
}

bool ClientGame::sendSound(int wave) {
    if (!m_loggedin || !isPlayer())
        return false;
    send(msg::playasound(m_myseat, wave));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Spectators and removal

void ClientGame::justwatching(std::string_view args) {
    FieldReader r(args);
    const auto seat = r.number();
    if (!seat || !validSeat(*seat))
        return;
    const bool watching = r.field() == "1";
    if (*seat == m_myseat)
        m_justWatch = watching;
    const QString text =
        watching ? QStringLiteral(" is just watching") : QStringLiteral(" now playing again");
    emit systemLine(m_seats[*seat].name + text, kWatchColour);
    m_seats[*seat].watching = watching;
}

void ClientGame::JustWatch1Click() {
    if (!isPlayer() || !m_loggedin)
        return;
    send(msg::justwatch(m_myseat, m_justWatch ? 2 : 1));
}

void ClientGame::setSeatWatching(int seat, bool watching) {
    if (!m_loggedin || seat < 1 || seat > 4)
        return;
    send(msg::justwatch(seat, watching ? 1 : 2));
}

bool ClientGame::seatPopupEnabled(int seat) const {
    if (!m_hosting || !validSeat(seat))
        return false;
    const QString& name = m_seats[seat].name;
    return name != QLatin1String("<Waiting>") && name != m_botnames[seat];
}

void ClientGame::kicking(int seat) {
    if (!m_hosting || !m_loggedin || seat < 1 || seat > 9)
        return;
    send(msg::kickhim(m_myseat, seat));
}

} // namespace vrako
