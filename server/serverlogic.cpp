// SPDX-License-Identifier: MIT
#include "server/serverlogic.h"

#include "net/commands.h"
#include "net/fieldreader.h"
#include "net/messages.h"

#include <algorithm>
#include <vector>

namespace vrako {

bool ServerLogic::isHeld(int seat, std::int64_t now) const {
    // A hold lasts only while the game it was made in runs; a new game clears them.
    return m_table.state().gamerunning && m_holds[seat].until > now;
}

int ServerLogic::placeConnection(std::string_view address, std::int64_t now) {
    int record = 0;
    // The player who dropped out comes back to the seat held for it, before any other record.
    for (int s = 1; s <= seating::kSeats && record == 0; ++s) {
        if (!player(s).connected && isHeld(s, now) && m_holds[s].address == address)
            record = s;
    }
    for (int r = 1; r <= m_connectionCount && record == 0; ++r) {
        if (!player(r).connected &&
            !(seating::isSeat(r) && isHeld(r, now) && m_holds[r].address != address))
            record = r;
    }
    if (record == 0) {
        if (m_connectionCount >= seating::kRecords)
            return kFullRecord;
        record = ++m_connectionCount;
    }
    if (seating::isSeat(record))
        m_holds[record] = SeatHold{};
    m_table.take(record);
    return record;
}

void ServerLogic::welcome(int record) {
    m_table.sendTo(record, msg::sendlogininfo(record));
}

void ServerLogic::connectionClosed(int record, const Departure& how) {
    if (!seating::isRecord(record) || !player(record).connected)
        return;
    if (seating::isSeat(record) && player(record).loggedIn && m_table.state().gamerunning &&
        !how.removed && !how.address.empty())
        m_holds[record] = SeatHold{how.address, how.at + m_seatHoldMs};
    m_table.sendToOthers(record, msg::playerdisconnected(record, player(record).name));
    m_table.release(record);
    // The leaver's turn is not played. (The headless server has no host window whose leaving
    // ends everything, so the turn passes even when the host's record is gone; otherwise the game
    // would wait for a seat nobody plays.)
    const GameState& st = m_table.state();
    if (st.gamerunning && st.currentseat == record)
        m_table.findplayer();
}

std::string ServerLogic::cleanName(std::string_view name) {
    std::string out;
    out.reserve(std::min(name.size(), 4 * msg::kMaxNameLength));
    std::size_t characters = 0;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        // Every byte but a UTF-8 continuation byte starts a character; a character has at most
        // four bytes, which also bounds text that is not UTF-8.
        if (((u & 0xC0) != 0x80 && ++characters > msg::kMaxNameLength) ||
            out.size() == 4 * msg::kMaxNameLength)
            break;
        out += c == '+' || u < 0x20 || u == 0x7F ? '_' : c;
    }
    return out;
}

void ServerLogic::handleMessage(int sender, std::string_view message) {
    if (!m_table.isPresent(sender))
        return;
    const ParsedMessage m = splitCommand(message);
    if (m.command.empty())
        return;
    if (m.command == cmd::logininfo)
        apply(sender, msg::parseLogininfo(m.args), &ServerLogic::receivedlogininfo);
    if (m.command == cmd::kickhim)
        apply(sender, msg::parseKickhim(m.args), &ServerLogic::kickhim);
    if (m.command == cmd::chat)
        apply(sender, msg::parseChatLine(m.args), &ServerLogic::chat);
    if (m.command == cmd::action)
        apply(sender, msg::parseChatLine(m.args), &ServerLogic::action);
    if (m.command == cmd::startgame)
        apply(sender, msg::parseStartgame(m.args), &ServerLogic::startgame);
    if (m.command == cmd::playcard)
        apply(sender, msg::parsePlaycard(m.args), &ServerLogic::playcard);
    if (m.command == cmd::drawcard)
        apply(sender, msg::parseDrawcard(m.args), &ServerLogic::drawcard);
    if (m.command == cmd::justwatch)
        apply(sender, msg::parseJustwatch(m.args), &ServerLogic::justwatch);
    if (m.command == cmd::playasound)
        apply(sender, msg::parsePlayasound(m.args), &ServerLogic::playasound);
}

void ServerLogic::receivedlogininfo(int sender, const msg::Login& login) {
    if (login.record != sender)
        return;
    m_table.logIn(sender, cleanName(login.name));
    const std::string& name = player(sender).name;
    m_table.sendToAll(msg::newplayerinfo(sender, name));

    std::vector<msg::PlayerEntry> others;
    for (int r = 1; r <= seating::kRecords; ++r) {
        if (r != sender && m_table.isPresent(r))
            others.push_back({r, player(r).name, player(r).watching});
    }
    if (!others.empty())
        m_table.sendTo(sender, msg::existingplayers(others));

    if (login.version != cmd::version) {
        m_table.sendTo(seating::kHostRecord, msg::havewrongversion(name));
        m_table.sendTo(sender, msg::wrongversion());
    }
    if (m_table.state().gamerunning)
        sendCatchUp(sender);
}

void ServerLogic::sendCatchUp(int record) {
    const GameState& st = m_table.state();
    m_table.sendTo(record, msg::gamestats(record, st.topcard, st.playtoscore, st.gametype));
    std::array<int, seating::kSeats> scores{};
    for (int s = 1; s <= seating::kSeats; ++s)
        scores[s - 1] = player(s).score;
    m_table.sendTo(record, msg::thescores(scores));
    for (int s = 1; s <= seating::kSeats; ++s) {
        const PlayerRecord& seat = player(s);
        if (s == record && seat.cardcount > 0) {
            std::vector<std::pair<int, int>> held;
            for (int slot = 1; slot <= card::kHandSlots; ++slot) {
                if (seat.cards[slot] != card::kEmpty)
                    held.emplace_back(slot, seat.cards[slot]);
            }
            m_table.sendTo(record, msg::thecards(s, held));
        } else {
            m_table.sendTo(record, msg::cardcount(s, seat.cardcount));
        }
    }
    m_table.sendTo(record, msg::nextplayer(st.currentseat, m_table.directionLetter()));
}

void ServerLogic::relay(int sender, const msg::ChatLine& line, bool isChat) {
    if (line.record != sender)
        return;
    const std::string_view text = line.text;
    const std::string& name = player(sender).name;
    sendRelay(isChat ? msg::chatRelay(sender, name, text) : msg::actionRelay(sender, name, text));
}

void ServerLogic::sendRelay(const std::string& bytes) {
    // A longer message would make every reader close its connection.
    if (bytes.size() <= msg::kMaxRelayed)
        m_table.sendToAll(bytes);
}

void ServerLogic::playasound(int sender, const msg::Sound& sound) {
    // Chatter sounds come from the seats only; spectators cannot send them.
    if (sound.record != sender || sender > seating::kSeats)
        return;
    sendRelay(msg::playasoundRelay(sender, sound.rest));
}

void ServerLogic::kickhim(int sender, const msg::Kick& kick) {
    // Only the host removes players, and only a record that has a connection.
    if (sender != seating::kHostRecord || kick.sender != seating::kHostRecord ||
        !m_table.isPresent(kick.target))
        return;
    // The removed player is told so, in the words the others hear, before the connection ends.
    m_table.sendTo(kick.target, msg::playerdisconnected(kick.target, player(kick.target).name));
    m_host.closeConnection(kick.target);
}

void ServerLogic::startgame(int sender, const msg::GameStart& start) {
    if (sender != seating::kHostRecord)
        return;
    // Seats held in the last game are free for the new one.
    m_holds.fill(SeatHold{});
    m_table.startgame(cleanName(start.starter), start.playToScore, start.type);
}

void ServerLogic::playcard(int sender, const msg::Play& play) {
    if (play.seat != sender)
        return;
    m_table.playcard(play.seat, play.colour, play.slot);
}

void ServerLogic::drawcard(int sender, const msg::Seat& draw) {
    if (draw.seat != sender)
        return;
    m_table.drawcard(draw.seat);
}

void ServerLogic::justwatch(int sender, const msg::WatchRequest& request) {
    const int seat = request.seat;
    if (!seating::isSeat(seat) || !m_table.isPresent(seat))
        return;
    // A player sets its own seat; the host may set any seat.
    if (seat != sender && sender != seating::kHostRecord)
        return;
    if (request.mode == msg::kPlayAgain) {
        m_table.setWatching(seat, false);
        m_table.sendToAll(msg::justwatching(seat, msg::kPlayAgain));
    } else if (request.mode == msg::kWatch) {
        m_table.setWatching(seat, true);
        m_table.sendToAll(msg::justwatching(seat, msg::kWatch));
        if (m_table.state().currentseat == seat)
            m_host.startComputerTimer(m_table.computerRetry());
    }
}

void ServerLogic::computerTimerFired() {
    m_host.stopComputerTimer();
    const int seat = m_table.state().currentseat;
    if (m_table.state().gamerunning && m_table.isComputerPlayed(seat))
        m_computer.computerplay(seat);
}

} // namespace vrako
