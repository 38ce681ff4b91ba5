// SPDX-License-Identifier: MIT
// The local hand, the top card and the other seats' card counts.
#include "game/clientgame.h"
#include "net/messages.h"
#include "support/cards.h"

#include <algorithm>

namespace vrako {

void ClientGame::createcard(int id, int code) {
    if (id < 1 || id > card::kHandSlots || code < 0 || code >= card::kFaceCount)
        return;
    if (m_cards[id].id != 0) {
        // A slot the server fills again replaces what we still showed there.
        const auto it = std::find(m_handslots.begin(), m_handslots.end(), id);
        if (it != m_handslots.end()) {
            std::move(it + 1, m_handslots.end(), it);
            m_handslots.back() = 0;
        }
    }
    const auto free = std::find(m_handslots.begin(), m_handslots.end(), 0);
    if (free == m_handslots.end())
        return;
    *free = id;
    m_cards[id] = HandCard{id, code, false};
    if (m_autoSort)
        sortthem();
}

void ClientGame::acard(const std::optional<msg::Dealt>& dealt) {
    if (dealt && dealt->seat == m_myseat)
        createcard(dealt->slot, dealt->card);
    emit soundRequested(QStringLiteral("draw"));
}

void ClientGame::thecards(const msg::Cards& cards) {
    if (cards.seat != m_myseat)
        return;
    for (const auto& [id, code] : cards.held)
        createcard(id, code);
    emit soundRequested(QStringLiteral("draw"));
}

void ClientGame::sortthem() {
    // One bubble pass per place, from the last pair to the first: equal codes keep their order.
    auto codeAt = [this](int place) { return m_cards[m_handslots[place]].code; };
    for (int pass = 0; pass < card::kHandSlots; ++pass)
        for (int p = card::kHandSlots - 1; p >= 1; --p)
            if (m_handslots[p] != 0 && m_handslots[p - 1] != 0 && codeAt(p) < codeAt(p - 1))
                std::swap(m_handslots[p], m_handslots[p - 1]);
    emit changed();
}

void ClientGame::movingimagesMouseDown(int cardId, bool rightButton) {
    const HandCard* c = card(cardId);
    if (!c)
        return;
    if (rightButton) {
        sortthem();
        return;
    }
    // A Wild waiting for its colour stays raised when another card is pressed.
    m_chooser = false;
    if (!m_loggedin || m_whoseturn != m_myseat) {
        emit changed();
        return;
    }
    m_cards[cardId].raised = true;
    if (c->code == card::kWild) {
        m_chooserCard = cardId;
        m_chooser = true;
    } else {
        m_whoseturn = 0;
        send(msg::playcard(m_myseat, 0, cardId));
        m_pendingcard = cardId;
    }
    emit changed();
}

void ClientGame::Image3Click(int colourValue) {
    if (m_loggedin && isColourCode(colourValue) && card(m_chooserCard)) {
        // No second play may leave before the server answers this one.
        m_whoseturn = 0;
        send(msg::playcard(m_myseat, colourValue, m_chooserCard));
        m_pendingcard = m_chooserCard;
    }
    m_chooser = false;
    emit changed();
}

void ClientGame::hideColourChooser() {
    if (!m_chooser)
        return;
    m_chooser = false;
    if (HandCard* c = m_chooserCard ? &m_cards[m_chooserCard] : nullptr; c && c->id != 0)
        c->raised = false;
    emit changed();
}

void ClientGame::image_drawClick() {
    if (m_whoseturn == m_myseat && m_loggedin && isPlayer())
        send(msg::drawcard(m_myseat));
}

void ClientGame::setdeletecard(const msg::SlotOf& removal) {
    if (removal.seat == m_myseat && removal.slot >= 1 && removal.slot <= card::kHandSlots)
        m_pendingcard = removal.slot;
}

void ClientGame::showColourOf(int code) {
    if (!isColoured(code))
        return;
    m_colour = colourIndexOf(code);
    m_status = QStringLiteral("Color is %1").arg(QLatin1String(colourTitle(code)));
}

void ClientGame::playcard(const msg::Played& played) {
    const int seat = played.seat;
    const int code = played.card;
    emit soundRequested(QStringLiteral("placecard"));
    if (seat == m_myseat && m_pendingcard != 0) {
        const auto it = std::find(m_handslots.begin(), m_handslots.end(), m_pendingcard);
        if (it != m_handslots.end()) {
            std::move(it + 1, m_handslots.end(), it);
            m_handslots.back() = 0;
        }
        m_cards[m_pendingcard] = HandCard{};
        m_pendingcard = 0;
        for (HandCard& c : m_cards)
            c.raised = false;
    }
    m_othercard = -1;
    const QString who = validSeat(seat) ? m_seats[seat].name : QString();
    switch (code) {
    case card::kReverse:
        m_othercard = card::kReverse;
        m_status = seat == m_myseat ? QStringLiteral("You Reversed Play")
                                    : who + QStringLiteral(" Reversed Play");
        break;
    case card::kVrako:
        m_othercard = card::kVrako;
        m_status = QStringLiteral("VRAKO");
        break;
    case card::kDouble:
        m_othercard = card::kDouble;
        m_status = QStringLiteral("DOUBLE UP");
        break;
    case card::kBomb:
        m_othercard = card::kBomb;
        m_status = QStringLiteral("Bomb");
        break;
    default:
        if (code == card::kWild || isColoured(code)) {
            m_topcard = code;
            showColourOf(code);
        }
        break;
    }
}

void ClientGame::nomatch() {
    m_whoseturn = m_myseat;
    m_status = QStringLiteral("Invalid Play");
    emit soundRequested(QStringLiteral("invalid"));
    // pendingcard still names the refused card until a new play or announced removal names
    // another.
    if (m_pendingcard != 0)
        m_cards[m_pendingcard].raised = false;
}

void ClientGame::cardcount(const msg::CardCount& count) {
    if (!validSeat(count.seat) || count.seat == m_myseat)
        return;
    m_seats[count.seat].fanCount = std::min(count.count, card::kHandSlots);
}

void ClientGame::nomorecards(const msg::Seat& full) {
    if (full.seat == m_myseat)
        m_status = QStringLiteral("You can not hold anymore cards.");
    else if (validSeat(full.seat))
        m_status = m_seats[full.seat].name + QStringLiteral(" can hold no more cards.");
}

} // namespace vrako
