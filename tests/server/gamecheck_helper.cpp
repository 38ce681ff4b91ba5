// SPDX-License-Identifier: MIT
#include "gamecheck_helper.h"

#include <algorithm>

namespace vrako::test {

void Checker::onSend(int record, std::string_view bytes) {
    ++messages;
    check(!bytes.empty() && bytes.back() == '\xFF', "unframed message", bytes);
    const ParsedMessage m = splitCommand(bytes.substr(0, bytes.size() - 1));
    FieldReader f(m.args);
    if (record == m_spectator)
        broadcast(m.command, f, bytes);
    else
        seatMessage(record, m.command, f, bytes);
}

void Checker::seatMessage(int record, std::string_view word, FieldReader& f,
                          std::string_view bytes) {
    Hand& hand = m_model.hands[record];
    if (word == "CMD_startgame" || word == "CMD_startround") {
        hand = emptyHand();
    } else if (word == "CMD_acard") {
        const int seat = f.number().value_or(0), slot = f.number().value_or(0);
        const int code = f.number().value_or(-1);
        check(seat == record, "card for another seat", bytes);
        check(slot >= 1 && slot <= kMaxHand, "slot beyond 13", bytes);
        check(slot >= 1 && slot <= kMaxHand && hand[slot] == card::kEmpty, "slot taken", bytes);
        check(code >= 0 && code <= 51, "card never made", bytes);
        if (slot >= 1 && slot <= kMaxHand)
            hand[slot] = code;
    } else if (word == "CMD_setdeletecard") {
        const int seat = f.number().value_or(0), slot = f.number().value_or(0);
        check(seat == record && slot >= 1 && slot <= kMaxHand, "bad delete", bytes);
        check(hand[slot] != card::kEmpty, "delete of an empty slot", bytes);
        hand[slot] = card::kEmpty;
    } else if (word == "CMD_nomatch") {
        check(false, "computer played a refused card", bytes);
    }
}

void Checker::checkTable(std::string_view bytes) {
    if (!m_table)
        return;
    for (int s = 1; s <= 4; ++s) {
        const PlayerRecord& p = m_table->player(s);
        const int filled = int(std::count_if(p.cards.begin() + 1, p.cards.end(),
                                             [](int c) { return c != card::kEmpty; }));
        check(p.cards[kSlots] == card::kEmpty, "slot 14 filled", bytes);
        check(filled == p.cardcount && p.cardcount <= kMaxHand, "count differs from hand", bytes);
    }
}

void Checker::broadcast(std::string_view word, FieldReader& f, std::string_view bytes) {
    checkTable(bytes);
    Model& m = m_model;
    check(!m.wildPending || word == "CMD_playwild", "wild colour missing", bytes);
    if (word == "CMD_startgame") {
        f.field();
        f.field();
        m.type = gameTypeOf(f.field());
        m.scores = {};
        m.counts = {};
        m.topcard = card::kRoundStart;
        m.direction = false;
        m.current = 0;
    } else if (word == "CMD_cardcount") {
        const int seat = f.number().value_or(0), n = f.number().value_or(-1);
        check(seat >= 1 && seat <= 4, "count for no seat", bytes);
        check(n >= 0 && n <= kMaxHand, "count beyond 13", bytes);
        if (m_trackHands)
            check(n == modelCount(seat), "count differs from the seat's own cards", bytes);
        if (m_table)
            check(m_table->player(seat).cards == m.hands[seat], "hand differs from the table",
                  bytes);
        if (seat >= 1 && seat <= 4)
            m.counts[seat] = n;
    } else if (word == "CMD_playcard") {
        const int seat = f.number().value_or(0), code = f.number().value_or(-1);
        check(seat == m.current, "play out of turn", bytes);
        if (isColoured(code)) {
            check(mayFollow(code, m.topcard, m.type), "card does not follow", bytes);
            m.topcard = code;
        }
        check(code >= 0 && code <= 51, "unknown card played", bytes);
        if (code == card::kReverse)
            m.direction = !m.direction;
        m.wildPending = code == card::kWild;
        m.doubleJustPlayed = code == card::kDouble;
        m.lastPlayer = seat;
    } else if (word == "CMD_playwild") {
        const int colour = f.number().value_or(0);
        check(m.wildPending && isColourCode(colour), "bad wild colour", bytes);
        m.topcard = colour;
        m.wildPending = false;
    } else if (word == "CMD_nextplayer") {
        const int seat = f.number().value_or(0);
        const char letter = f.field() == "r" ? 'r' : 'l';
        check(letter == (m.direction ? 'r' : 'l'), "wrong direction letter", bytes);
        int expected = m.current;
        if (!m.doubleJustPlayed && m.current != 0)
            expected = m.direction ? (m.current == 1 ? 4 : m.current - 1)
                                   : (m.current == 4 ? 1 : m.current + 1);
        check(m.current == 0 ? seat >= 1 && seat <= 4 : seat == expected, "wrong seat on turn",
              bytes);
        m.current = seat;
        m.doubleJustPlayed = false;
    } else if (word == "CMD_nomorecards") {
        const int seat = f.number().value_or(0);
        check(seat == m.current && modelCount(seat) == kMaxHand, "refused draw below 13", bytes);
    } else if (word == "CMD_thescores") {
        int zero = 0;
        for (int s = 1; s <= 4; ++s) {
            m.scores[s] += modelCount(s);
            zero += modelCount(s) == 0;
        }
        check(zero == 1 && modelCount(m.lastPlayer) == 0, "round over without one winner", bytes);
        m.scores[m.lastPlayer] = std::max(0, m.scores[m.lastPlayer] - 5);
        for (int s = 1; s <= 4; ++s)
            check(f.number() == m.scores[s], "score differs", bytes);
        // The spectator is not told of the next round; it starts from the blue 1, ascending.
        m.current = 0;
        m.topcard = card::kRoundStart;
        m.direction = false;
    } else if (word == "CMD_winner") {
        check(f.number() == m.lastPlayer, "wrong round winner", bytes);
    } else if (word == "CMD_wingame") {
        const int w = f.number().value_or(0);
        const int lowest = *std::min_element(m.scores.begin() + 1, m.scores.end());
        const int highest = *std::max_element(m.scores.begin() + 1, m.scores.end());
        check(highest >= m.playTo && m.scores[w] == lowest &&
                  std::count(m.scores.begin() + 1, m.scores.end(), lowest) == 1,
              "wrong game winner", bytes);
        ++m.wins;
    } else if (word == "CMD_startround" || word == "CMD_acard" || word == "CMD_goplay" ||
               word == "CMD_nomatch" || word == "CMD_vrako" || word == "CMD_bomb" ||
               word == "CMD_setdeletecard") {
        check(false, "private message to a spectator", bytes);
    }
}

} // namespace vrako::test
