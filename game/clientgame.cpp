// SPDX-License-Identifier: MIT
#include "game/clientgame.h"

#include "net/commands.h"
#include "net/fieldreader.h"
#include "net/messages.h"
#include "store/colourtext.h"
#include "support/cards.h"

#include <algorithm>

namespace vrako {
namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString gameTypeTitle(GameType type) {
    return type == GameType::SameNumber ? QStringLiteral("Same Number Game")
                                        : QStringLiteral("One More or Less Game");
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
    for (int s = 1; s <= seating::kSeats; ++s)
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
    if (id < 1 || id > card::kHandSlots || m_cards[id].id == 0)
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
        apply(msg::parseSendlogininfo(a), &ClientGame::sendloginfo);
    else if (c == cmd::chat || c == cmd::action)
        apply(msg::parseChatRelay(a), &ClientGame::relayedLine);
    else if (c == cmd::newplayerinfo || c == cmd::existingplayers)
        apply(msg::parsePlayers(a), &ClientGame::newplayerinfo);
    else if (c == cmd::havewrongversion)
        apply(msg::parseHavewrongversion(a), &ClientGame::havewrongversion);
    else if (c == cmd::wrongversion)
        blueLine(QStringLiteral("You have a differnt version of the game then the host."));
    else if (c == cmd::playerdisconnected)
        apply(msg::parsePlayerdisconnected(a), &ClientGame::playerdisconnected);
    else if (c == cmd::startgame)
        apply(msg::parseStartgameAll(a), &ClientGame::startthegame);
    else if (c == cmd::nextplayer)
        apply(msg::parseNextplayer(a), &ClientGame::getnextplayer);
    else if (c == cmd::winner)
        apply(msg::parseWinner(a), &ClientGame::winner);
    else if (c == cmd::full)
        emit gameFull();
    else if (c == cmd::acard)
        acard(msg::parseAcard(a));
    else if (c == cmd::playcard)
        apply(msg::parsePlaycardAll(a), &ClientGame::playcard);
    else if (c == cmd::nomatch)
        nomatch();
    else if (c == cmd::goplay)
        m_whoseturn = m_myseat;
    else if (c == cmd::playwild)
        apply(msg::parsePlaywild(a), &ClientGame::playwild);
    else if (c == cmd::vrako)
        penalty(QStringLiteral("You've been Vrakod!"));
    else if (c == cmd::nomorecards)
        apply(msg::parseNomorecards(a), &ClientGame::nomorecards);
    else if (c == cmd::cardcount)
        apply(msg::parseCardcount(a), &ClientGame::cardcount);
    else if (c == cmd::startround)
        startround();
    else if (c == cmd::wingame)
        apply(msg::parseWingame(a), &ClientGame::gamewinner);
    else if (c == cmd::thescores)
        apply(msg::parseThescores(a), &ClientGame::thescores);
    else if (c == cmd::setdeletecard)
        apply(msg::parseSetdeletecard(a), &ClientGame::setdeletecard);
    else if (c == cmd::justwatching)
        apply(msg::parseJustwatching(a), &ClientGame::justwatching);
    else if (c == cmd::thecards)
        apply(msg::parseThecards(a), &ClientGame::thecards);
    else if (c == cmd::bomb)
        penalty(QStringLiteral("You've been Bombed!"));
    else if (c == cmd::gamestats)
        apply(msg::parseGamestats(a), &ClientGame::gamestats);
    else if (c == cmd::playasound) {
        if (const auto sound = msg::parsePlayasound(a)) {
            // The sound's name is the field after the record; anything after it is not ours.
            const std::string_view rest = sound->rest;
            emit chatterSound(sound->record, qs(rest.substr(0, rest.find('+'))));
        }
        return;
    } else
        return;
    emit changed();
}

void ClientGame::relayedLine(const msg::Text& line) {
    emit chatReceived(qs(line.text));
}

void ClientGame::havewrongversion(const msg::Text& name) {
    blueLine(qs(name.text) + QStringLiteral(" has a different version of the game then you."));
}

// ---------------------------------------------------------------------------------------------
// Login, seats, arrivals and departures

void ClientGame::sendloginfo(const msg::Record& login) {
    if (!seating::isRecord(login.record))
        return;
    if (m_rejoining) {
        // The host may not yet have noticed the old connection die and still keeps our seat.
        if (isPlayer() && !seating::isSeat(login.record)) {
            emit seatNotFree();
            return;
        }
        resetTable();
        m_rejoining = false;
    }
    m_myseat = login.record;
    m_loggedin = true;
    sortstuff();
    send(msg::logininfo(m_myseat, cmd::version, utf8(m_playername)));
    emit loggedIn(m_myseat);
}

void ClientGame::prepareRejoin() {
    m_loggedin = false;
    m_whoseturn = 0;
    m_chooser = false;
    m_rejoining = true;
    emit changed();
}

void ClientGame::resetTable() {
    m_seats.fill(SeatView{});
    if (!m_spies.isEmpty()) {
        m_spies.clear();
        emit spiesChanged();
    }
    cleartable();
    m_justWatch = false;
}

void ClientGame::sortstuff() {
    // A spectator sees the table as the host does.
    const int base = isPlayer() ? m_myseat : seating::kHostRecord;
    for (int k = 0; k < seating::kSeats; ++k) {
        const int seat = (base - 1 + k) % seating::kSeats + 1;
        m_position[seat] = static_cast<SeatPosition>(k);
    }
    for (int s = 1; s <= seating::kSeats; ++s)
        if (m_seats[s].isWaiting())
            m_seats[s].name = m_botnames[s];
}

void ClientGame::newplayerinfo(const msg::Players& players) {
    bool any = false;
    for (const msg::PlayerEntry& entry : players.entries) {
        const int seat = entry.record;
        if (!seating::isRecord(seat))
            break;
        const QString name = qs(entry.name);
        any = true;
        if (seat == m_myseat) {
            blueLine(QStringLiteral("You are Connected."));
            emit settingsWanted();
        } else {
            blueLine(name + QStringLiteral(" is Connected."));
        }
        if (seat > seating::kSeats) {
            m_spies.append({seat, name});
            emit spiesChanged();
            blueLine(seat == m_myseat ? QStringLiteral("You are spying.")
                                      : name + QStringLiteral(" is spying."));
        } else {
            m_seats[seat].name = name;
            if (entry.watching)
                m_seats[seat].watching = true;
        }
    }
    if (any)
        emit soundRequested(QStringLiteral("entered"));
}

void ClientGame::playerdisconnected(const msg::Departure& departure) {
    const int seat = departure.record;
    const QString name = qs(departure.name);
    if (m_loggedin && seat == m_myseat) {
        m_loggedin = false;
        emit closeRequested();
    }
    if (validSeat(seat)) {
        SeatView& v = m_seats[seat];
        if (v.name != m_botnames[seat])
            emit systemLine(v.name + QStringLiteral(" disconnected."), kGrey);
        v.name = m_botnames[seat];
        v.watching = false;
    } else if (seat > seating::kSeats) {
        if (m_spies.removeOne(Spectator{seat, name})) {
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

void ClientGame::startthegame(const msg::GameStarted& start) {
    const QString starter = qs(start.starter);
    m_playToScore = QStringLiteral("Play to Score: ") + qs(start.playToScore);
    m_gameType = gameTypeTitle(start.type);
    m_startButton = false;
    cleartable();
    resetCentre();
    if (isPlayer() && starter == m_playername)
        blueLine(QStringLiteral("You have started a game."));
    else
        blueLine(starter + QStringLiteral(" has started a game."));
    for (int s = 1; s <= seating::kSeats; ++s) {
        SeatView& v = m_seats[s];
        v.winnerShown = false;
        if (v.isWaiting())
            v.name = m_botnames[s];
        v.score = QStringLiteral("0");
    }
}

void ClientGame::getnextplayer(const msg::Turn& turn) {
    const int seat = turn.seat;
    if (seat > seating::kSeats)
        return;
    for (int s = 1; s <= seating::kSeats; ++s)
        m_seats[s].highlighted = false;
    m_whoseturn = seat;
    if (seat == 0)
        return;
    m_arrowLeft = m_arrowRight = false;
    m_drawLabel = false;
    m_seats[seat].highlighted = true;
    if (seat == m_myseat) {
        m_turn = QStringLiteral("Your Turn.");
        emit soundRequested(m_turnSoundNew ? QStringLiteral("turnnew") : QStringLiteral("turn"));
        if (turn.ascending)
            m_arrowLeft = true;
        else
            m_arrowRight = true;
        m_drawLabel = true;
    } else {
        m_turn = m_seats[seat].name + QStringLiteral("'s turn.");
    }
}

void ClientGame::startround() {
    cleartable();
    resetCentre();
    m_status = QStringLiteral("New Round!");
}

void ClientGame::gamestats(const msg::GameStats& stats) {
    if (stats.record != m_myseat)
        return;
    m_playToScore = QStringLiteral("Play to Score: ") + qs(stats.playToScore);
    m_gameType = gameTypeTitle(stats.type);
    m_topcard = isColoured(stats.topcard) ? stats.topcard : card::kEmpty;
    showColourOf(stats.topcard);
}

void ClientGame::thescores(const msg::Scores& scores) {
    for (int s = 1; s <= seating::kSeats; ++s)
        m_seats[s].score = qs(scores.seats[static_cast<std::size_t>(s - 1)]);
}

void ClientGame::playwild(const msg::WildColour& wild) {
    if (!isColourCode(wild.colour))
        return;
    m_colour = colourIndexOf(wild.colour);
    m_status = QStringLiteral("New Color is %1!").arg(QLatin1String(colourTitle(wild.colour)));
}

void ClientGame::penalty(const QString& text) {
    emit soundRequested(QStringLiteral("vrakod"));
    m_status = text;
}

void ClientGame::winner(const msg::Seat& roundWon) {
    if (!validSeat(roundWon.seat))
        return;
    emit soundRequested(QStringLiteral("roundwinner"));
    m_turn.clear();
    m_othercard = -1;
    m_arrowLeft = m_arrowRight = false;
    m_waiting = true;
    m_status = m_seats[roundWon.seat].name + QStringLiteral(" Won the Round!");
}

void ClientGame::gamewinner(const msg::Seat& game) {
    const int seat = game.seat;
    if (!validSeat(seat))
        return;
    cleartable();
    for (int s = 1; s <= seating::kSeats; ++s)
        m_seats[s].fanCount = 0;
    m_turn.clear();
    m_waiting = false;
    emit soundRequested(QStringLiteral("winner"));
    m_status = m_seats[seat].name + QStringLiteral(" Wins!");
    m_seats[seat].winnerShown = true;
    if (isPlayer())
        emit gameWon(seat);
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
    send(msg::startgame(utf8(m_playername), playToScore, type));
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

void ClientGame::justwatching(const msg::Watching& watching) {
    const int seat = watching.seat;
    if (!validSeat(seat))
        return;
    if (seat == m_myseat)
        m_justWatch = watching.watching;
    const QString text = watching.watching ? QStringLiteral(" is just watching")
                                           : QStringLiteral(" now playing again");
    emit systemLine(m_seats[seat].name + text, kWatchColour);
    m_seats[seat].watching = watching.watching;
}

void ClientGame::JustWatch1Click() {
    if (!isPlayer() || !m_loggedin)
        return;
    send(msg::justwatch(m_myseat, m_justWatch ? msg::kPlayAgain : msg::kWatch));
}

void ClientGame::setSeatWatching(int seat, bool watching) {
    if (!m_loggedin || !seating::isSeat(seat))
        return;
    send(msg::justwatch(seat, watching ? msg::kWatch : msg::kPlayAgain));
}

QStringList ClientGame::tableNames() const {
    QStringList names;
    for (int s = 1; s <= seating::kSeats; ++s)
        names.append(m_seats[s].isWaiting() ? QString() : m_seats[s].name);
    return names;
}

bool ClientGame::seatPopupEnabled(int seat) const {
    if (!m_hosting || !validSeat(seat))
        return false;
    return !m_seats[seat].isWaiting() && m_seats[seat].name != m_botnames[seat];
}

void ClientGame::kicking(int seat) {
    if (!m_hosting || !m_loggedin || !seating::isRecord(seat))
        return;
    send(msg::kickhim(m_myseat, seat));
}

} // namespace vrako
