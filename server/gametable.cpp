// SPDX-License-Identifier: MIT
#include "server/gametable.h"

#include "net/messages.h"

#include <algorithm>

namespace vrako {

bool GameTable::isComputerPlayed(int seat) const {
    const PlayerRecord& p = m_players[seat];
    return isSeat(seat) && (!p.connected || !p.loggedIn || p.watching);
}

void GameTable::resetConnection(int record, bool connected) {
    PlayerRecord& p = m_players[record];
    p.connected = connected;
    p.loggedIn = false;
    p.name.clear();
    p.watching = false;
}

void GameTable::take(int record) {
    resetConnection(record, true);
}

void GameTable::release(int record) {
    resetConnection(record, false);
}

void GameTable::logIn(int record, std::string name) {
    PlayerRecord& p = m_players[record];
    p.name = std::move(name);
    p.connected = true;
    p.loggedIn = true;
}

void GameTable::sendToSeat(int seat, std::string_view bytes) {
    if (m_players[seat].loggedIn)
        sendTo(seat, bytes);
}

void GameTable::sendTo(int record, std::string_view bytes) {
    if (isPresent(record))
        m_host.send(record, bytes);
}

void GameTable::sendToAll(std::string_view bytes) {
    for (int r = 1; r <= kRecords; ++r)
        sendTo(r, bytes);
}

void GameTable::sendToOthers(int except, std::string_view bytes) {
    for (int r = 1; r <= kRecords; ++r) {
        if (r != except)
            sendTo(r, bytes);
    }
}

void GameTable::resetHands() {
    for (int seat = 1; seat <= kSeats; ++seat) {
        m_players[seat].cards = emptyHand();
        m_players[seat].cardcount = 0;
    }
}

void GameTable::startgame(std::string_view starter, int playToScore, GameType type) {
    // A pending round or computer move belongs to the old game.
    m_host.stopRoundTimer();
    m_host.stopComputerTimer();
    m_state.playtoscore = playToScore;
    m_state.gamerunning = true;
    m_state.gametype = type;
    resetHands();
    for (int seat = 1; seat <= kSeats; ++seat)
        m_players[seat].score = 0;
    sendToAll(msg::startgame(starter, m_state.playtoscore, m_state.gametype));
    m_state.direction = false;
    m_state.topcard = card::kRoundStart;
    m_state.currentseat = 1 + m_random.uniform(kSeats);
    dealcards();
}

void GameTable::startnewround() {
    if (!m_state.gamerunning)
        return;
    resetHands();
    const std::string round = msg::startround();
    for (int seat = 1; seat <= kSeats; ++seat)
        sendTo(seat, round);
    m_state.direction = false;
    m_state.topcard = card::kRoundStart;
    m_state.currentseat = 1 + m_random.uniform(kSeats);
    dealcards();
}

void GameTable::dealcards() {
    for (int seat = 1; seat <= kSeats; ++seat) {
        for (int slot = 1; slot <= kDealtCards; ++slot)
            getcard(seat, slot);
    }
    findplayer();
}

void GameTable::getcard(int seat, int slot) {
    const int code = makeCard(m_random.uniform(kCardDraws));
    PlayerRecord& p = m_players[seat];
    p.cards[slot] = code;
    ++p.cardcount;
    sendToSeat(seat, msg::acard(seat, slot, code));
    sendToAll(msg::cardcount(seat, p.cardcount));
}

void GameTable::giveCards(int seat, int n) {
    for (int i = 0; i < n; ++i) {
        const int slot = lowestFreeSlot(m_players[seat].cards);
        if (slot != 0)
            getcard(seat, slot);
    }
}

int GameTable::nextSeat(int seat) const {
    if (m_state.direction)
        return seat == 1 ? kSeats : seat - 1;
    return seat == kSeats ? 1 : seat + 1;
}

void GameTable::findplayer() {
    m_state.currentseat = nextSeat(m_state.currentseat);
    sendToAll(msg::nextplayer(m_state.currentseat, directionLetter()));
    if (isComputerPlayed(m_state.currentseat))
        m_host.startComputerTimer(m_botSpeed);
}

void GameTable::drawcard(int seat) {
    if (!isSeat(seat) || seat != m_state.currentseat)
        return;
    const int slot = lowestFreeSlot(m_players[seat].cards);
    if (slot != 0) {
        getcard(seat, slot);
        sendToSeat(seat, msg::goplay());
        return;
    }
    sendToAll(msg::nomorecards(seat));
    if (!checkforwin(seat))
        findplayer();
}

bool GameTable::playcard(int seat, int colour, int slot) {
    if (!isSeat(seat) || seat != m_state.currentseat || slot < 1 || slot > kSlots)
        return false;
    const int code = m_players[seat].cards[slot];
    // Only a card that will leave the hand is removed from the watching player's display.
    const bool accepted =
        code == card::kWild ? isColourCode(colour)
                            : isSpecial(code) || mayFollow(code, m_state.topcard, m_state.gametype);
    if (m_players[seat].watching && accepted)
        sendToSeat(seat, msg::setdeletecard(seat, slot));
    m_host.stopComputerTimer();
    switch (code) {
    case card::kVrako:
        playvrako(seat, slot);
        return true;
    case card::kReverse:
        playreverse(seat, slot);
        return true;
    case card::kWild:
        return playwild(seat, colour, slot);
    case card::kDouble:
        playdouble(seat, slot);
        return true;
    case card::kBomb:
        playbomb(seat, slot);
        return true;
    default:
        return itiscolor(seat, code, slot);
    }
}

void GameTable::sendNoMatch(int seat) {
    sendToSeat(seat, msg::nomatch());
    // A refused click on a seat the computer plays (a watching player's) stopped the computer's
    // timer; the computer still has to play this turn.
    if (isComputerPlayed(seat))
        m_host.startComputerTimer(m_computerRetry);
}

bool GameTable::itiscolor(int seat, int code, int slot) {
    if (!mayFollow(code, m_state.topcard, m_state.gametype)) {
        sendNoMatch(seat);
        return false;
    }
    oktoplay(seat, code, slot);
    return true;
}

void GameTable::removeCard(int seat, int slot) {
    m_players[seat].cards[slot] = card::kEmpty;
    --m_players[seat].cardcount;
}

void GameTable::oktoplay(int seat, int code, int slot) {
    removeCard(seat, slot);
    m_state.topcard = code;
    sendToAll(msg::playcardAll(seat, code));
    sendToAll(msg::cardcount(seat, m_players[seat].cardcount));
    endTurn(seat);
}

// Special cards announce the play and the new count to one connection before the next.
void GameTable::announcePlay(int seat, int slot, int code) {
    removeCard(seat, slot);
    const std::string played = msg::playcardAll(seat, code);
    const std::string count = msg::cardcount(seat, m_players[seat].cardcount);
    for (int r = 1; r <= kRecords; ++r) {
        sendTo(r, played);
        sendTo(r, count);
    }
}

void GameTable::endTurn(int seat) {
    if (!checkforwin(seat))
        findplayer();
}

void GameTable::playvrako(int seat, int slot) {
    announcePlay(seat, slot, card::kVrako);
    const int victim = nextSeat(seat);
    giveCards(victim, kVrakoLeast + m_random.uniform(kVrakoSpread));
    sendToSeat(victim, msg::vrako());
    endTurn(seat);
}

void GameTable::playreverse(int seat, int slot) {
    m_state.direction = !m_state.direction;
    announcePlay(seat, slot, card::kReverse);
    endTurn(seat);
}

bool GameTable::playwild(int seat, int colour, int slot) {
    // Any other colour would make an arbitrary code the current card.
    if (!isColourCode(colour)) {
        sendNoMatch(seat);
        return false;
    }
    removeCard(seat, slot);
    m_state.topcard = colour;
    const std::string played = msg::playcardAll(seat, card::kWild);
    const std::string wild = msg::playwild(colour);
    const std::string count = msg::cardcount(seat, m_players[seat].cardcount);
    for (int r = 1; r <= kRecords; ++r) {
        sendTo(r, played);
        sendTo(r, wild);
        sendTo(r, count);
    }
    endTurn(seat);
    return true;
}

void GameTable::playdouble(int seat, int slot) {
    announcePlay(seat, slot, card::kDouble);
    if (checkforwin(seat))
        return;
    sendToAll(msg::nextplayer(seat, directionLetter()));
    if (isComputerPlayed(seat))
        m_host.startComputerTimer(m_botSpeed);
}

void GameTable::playbomb(int seat, int slot) {
    announcePlay(seat, slot, card::kBomb);
    for (int victim = 1; victim <= kSeats; ++victim) {
        if (victim == seat)
            continue;
        giveCards(victim, kBombCards);
        sendToSeat(victim, msg::bomb());
    }
    endTurn(seat);
}

bool GameTable::checkforwin(int seat) {
    if (m_players[seat].cardcount > 0)
        return false;
    m_state.currentseat = 0;
    std::array<int, kSeats> scores{};
    for (int s = 1; s <= kSeats; ++s)
        m_players[s].score += m_players[s].cardcount;
    m_players[seat].score = std::max(0, m_players[seat].score - kRoundWinBonus);
    for (int s = 1; s <= kSeats; ++s)
        scores[s - 1] = m_players[s].score;
    const std::string scoreMsg = msg::thescores(scores);
    const std::string winMsg = msg::winner(seat);
    for (int r = 1; r <= kRecords; ++r) {
        sendTo(r, scoreMsg);
        sendTo(r, winMsg);
    }
    if (!checkforgamewin())
        m_host.startRoundTimer(m_roundPause);
    return true;
}

bool GameTable::checkforgamewin() {
    bool reached = false;
    int leader = 1;
    for (int s = 1; s <= kSeats; ++s) {
        reached = reached || m_players[s].score >= m_state.playtoscore;
        if (m_players[s].score < m_players[leader].score)
            leader = s;
    }
    if (!reached)
        return false;
    for (int s = 1; s <= kSeats; ++s) {
        // A tie for the lowest score is played out.
        if (s != leader && m_players[s].score == m_players[leader].score)
            return false;
    }
    m_state.gamerunning = false;
    m_state.currentseat = 0;
    sendToAll(msg::wingame(leader));
    return true;
}

} // namespace vrako
