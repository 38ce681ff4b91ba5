// SPDX-License-Identifier: MIT
#include "server/serverlogic.h"

#include "net/commands.h"
#include "net/fieldreader.h"
#include "net/messages.h"

#include <algorithm>
#include <vector>

namespace vrako {

int ServerLogic::placeConnection() {
    int record = 0;
    for (int r = 1; r <= m_connectionCount; ++r) {
        if (!player(r).connected) {
            record = r;
            break;
        }
    }
    if (record == 0) {
        if (m_connectionCount >= GameTable::kRecords)
            return kFullRecord;
        record = ++m_connectionCount;
    }
    m_table.take(record);
    return record;
}

void ServerLogic::welcome(int record) {
    m_table.sendTo(record, msg::sendlogininfo(record));
}

void ServerLogic::connectionClosed(int record) {
    if (!GameTable::isRecord(record) || !player(record).connected)
        return;
    m_table.sendToOthers(record, msg::playerdisconnected(record, player(record).name));
    m_table.release(record);
    // The leaver's turn is not played. (The headless server has no host window whose leaving
    // ends everything, so the turn passes even when record 1 is gone; otherwise the game would
    // wait for a seat nobody plays.)
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
        receivedlogininfo(sender, m.args);
    if (m.command == cmd::kickhim)
        kickhim(sender, m.args);
    if (m.command == cmd::chat)
        relay(sender, m.args, true);
    if (m.command == cmd::action)
        relay(sender, m.args, false);
    if (m.command == cmd::startgame)
        startgame(sender, m.args);
    if (m.command == cmd::playcard)
        playcard(sender, m.args);
    if (m.command == cmd::drawcard)
        drawcard(sender, m.args);
    if (m.command == cmd::justwatch)
        justwatch(sender, m.args);
    if (m.command == cmd::playasound)
        playasound(sender, m.args);
}

void ServerLogic::receivedlogininfo(int sender, std::string_view args) {
    FieldReader f(args);
    const auto record = f.number();
    if (record != sender)
        return;
    const std::string_view version = f.field();
    m_table.logIn(sender, cleanName(f.rest()));
    const std::string& name = player(sender).name;
    m_table.sendToAll(msg::newplayerinfo(sender, name));

    std::vector<msg::PlayerEntry> others;
    for (int r = 1; r <= GameTable::kRecords; ++r) {
        if (r != sender && m_table.isPresent(r))
            others.push_back({r, player(r).name, player(r).watching});
    }
    if (!others.empty())
        m_table.sendTo(sender, msg::existingplayers(others));

    if (version != cmd::version) {
        m_table.sendTo(1, msg::havewrongversion(name));
        m_table.sendTo(sender, msg::wrongversion());
    }
    if (m_table.state().gamerunning)
        sendCatchUp(sender);
}

void ServerLogic::sendCatchUp(int record) {
    const GameState& st = m_table.state();
    m_table.sendTo(record, msg::gamestats(record, st.topcard, st.playtoscore,
                                          std::string_view(&st.gametype, 1)));
    std::array<int, GameTable::kSeats> scores{};
    for (int s = 1; s <= GameTable::kSeats; ++s)
        scores[s - 1] = player(s).score;
    m_table.sendTo(record, msg::thescores(scores));
    for (int s = 1; s <= GameTable::kSeats; ++s) {
        const PlayerRecord& seat = player(s);
        if (s == record && seat.cardcount > 0) {
            std::vector<std::pair<int, int>> held;
            for (int slot = 1; slot <= kSlots; ++slot) {
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

void ServerLogic::relay(int sender, std::string_view args, bool isChat) {
    FieldReader f(args);
    if (f.number() != sender)
        return;
    const std::string_view text = f.rest();
    const std::string& name = player(sender).name;
    sendRelay(isChat ? msg::chatRelay(sender, name, text) : msg::actionRelay(sender, name, text));
}

void ServerLogic::sendRelay(const std::string& bytes) {
    // A longer message would make every reader close its connection.
    if (bytes.size() <= msg::kMaxRelayed)
        m_table.sendToAll(bytes);
}

void ServerLogic::playasound(int sender, std::string_view args) {
    FieldReader f(args);
    // Chatter sounds come from the seats only; spectators cannot send them.
    if (f.number() != sender || sender > 4)
        return;
    sendRelay(msg::playasoundRelay(sender, f.rest()));
}

void ServerLogic::kickhim(int sender, std::string_view args) {
    FieldReader f(args);
    const auto from = f.number();
    const auto target = f.number();
    // Only the host removes players, and only a record that has a connection.
    if (sender != 1 || from != 1 || !target || !m_table.isPresent(*target))
        return;
    // The removed player is told so, in the words the others hear, before the connection ends.
    m_table.sendTo(*target, msg::playerdisconnected(*target, player(*target).name));
    m_host.closeConnection(*target);
}

void ServerLogic::startgame(int sender, std::string_view args) {
    if (sender != 1)
        return;
    FieldReader f(args);
    const std::string starter = cleanName(f.field());
    const auto playTo = f.number();
    const std::string_view type = f.field();
    if (!playTo)
        return;
    m_table.startgame(starter, *playTo, type);
}

void ServerLogic::playcard(int sender, std::string_view args) {
    FieldReader f(args);
    const auto seat = f.number();
    const auto colour = f.number();
    const auto slot = f.number();
    if (!seat || !colour || !slot || *seat != sender)
        return;
    m_table.playcard(*seat, *colour, *slot);
}

void ServerLogic::drawcard(int sender, std::string_view args) {
    FieldReader f(args);
    const auto seat = f.number();
    if (!seat || *seat != sender)
        return;
    m_table.drawcard(*seat);
}

void ServerLogic::justwatch(int sender, std::string_view args) {
    FieldReader f(args);
    const auto seat = f.number();
    const auto mode = f.number();
    if (!seat || !mode || !GameTable::isSeat(*seat) || !m_table.isPresent(*seat))
        return;
    // A player sets its own seat; the host may set any seat.
    if (*seat != sender && sender != 1)
        return;
    if (*mode == 2) {
        m_table.setWatching(*seat, false);
        m_table.sendToAll(msg::justwatching(*seat, 2));
    } else if (*mode == 1) {
        m_table.setWatching(*seat, true);
        m_table.sendToAll(msg::justwatching(*seat, 1));
        if (m_table.state().currentseat == *seat)
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
