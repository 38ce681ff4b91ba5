// SPDX-License-Identifier: MIT
// The client's game state fed whatever a host sends: a player who joins a stranger's table must
// survive every message, and the state the board draws must stay within its ranges.
//
// The first byte sets the player: bit 0 hosting, bit 1 sorting the hand on its own. The rest is
// a sequence of steps separated by 0xFF. A step whose first byte is below 0x10 is something
// the user does (the byte picks what, the next one its argument); any other step is one
// message from the host, dispatched as it stands.
#include "game/clientgame.h"
#include "net/framing.h"
#include "support/cards.h"

#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

// What the client sends is whole frames: one closing 0xFF (the login two) and none inside.
void checkSent(const QByteArray& bytes) {
    require(bytes.endsWith(vrako::kFrameEnd));
    const auto ends = bytes.count(vrako::kFrameEnd);
    require(ends == 1 ||
            (ends == 2 && bytes.startsWith("CMD_logininfo+") && bytes.endsWith("\xFF\xFF")));
}

void checkState(const vrako::ClientGame& game) {
    using vrako::card::kEmpty;
    require(game.myseat() >= 0 && game.myseat() <= 9);
    require(game.whoseturn() >= 0 && game.whoseturn() <= 9);
    const QList<int> ids = game.handIds();
    require(ids.size() <= 14);
    for (qsizetype i = 0; i < ids.size(); ++i) {
        const int id = ids[i];
        require(id >= 1 && id <= 14);
        require(std::count(ids.begin(), ids.end(), id) == 1);
        const vrako::HandCard* c = game.card(id);
        require(c && c->id == id && c->code >= 0 && c->code < vrako::card::kFaceCount);
    }
    // A card the client holds is one it shows, and the other way round.
    for (int id = 1; id <= 14; ++id)
        require((game.card(id) != nullptr) == ids.contains(id));
    require(game.pendingcard() >= 0 && game.pendingcard() <= 14);
    require(game.chooserCardId() >= 0 && game.chooserCardId() <= 14);
    const int top = game.topCard();
    require(top == kEmpty || top == vrako::card::kWild || vrako::isColoured(top));
    const int other = game.otherCard();
    require(other == kEmpty || vrako::isSpecial(other));
    require(game.colourInFront() >= 0 && game.colourInFront() < vrako::card::kColours);
    // Every seat is drawn, each in a place of its own.
    for (int s = 1; s <= 4; ++s) {
        require(game.seat(s).fanCount >= 0 && game.seat(s).fanCount <= 14);
        require(game.seatAt(game.positionOf(s)) == s);
    }
    for (const vrako::Spectator& spy : game.spies())
        require(spy.record >= 5 && spy.record <= 9);
}

void userAction(vrako::ClientGame& game, unsigned char what, unsigned char arg) {
    switch (what % 10) {
    case 0:
        game.movingimagesMouseDown(arg % 16, arg & 0x80);
        break;
    case 1:
        game.Image3Click(50 + arg % 10);
        break;
    case 2:
        game.image_drawClick();
        break;
    case 3:
        game.hideColourChooser();
        break;
    case 4:
        game.JustWatch1Click();
        break;
    case 5:
        game.setSeatWatching(arg % 11, arg & 0x80);
        break;
    case 6:
        game.kicking(arg % 11);
        break;
    case 7:
        game.sendChat(QStringLiteral("hi"), arg);
        game.sendSound(arg % 22);
        break;
    case 8:
        game.startGame(arg, arg & 1 ? vrako::GameType::SameNumber : vrako::GameType::OneMoreOrLess);
        break;
    default:
        game.button_startClick();
        game.seatPopupEnabled(arg % 11);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty())
        return 0;
    const auto flags = static_cast<unsigned char>(input[0]);
    input.remove_prefix(1);

    vrako::ClientGame game;
    game.setPlayerName(QStringLiteral("Guest"));
    game.setHosting(flags & 1);
    game.setAutoSort(flags & 2);
    QObject::connect(&game, &vrako::ClientGame::sendRequested, &checkSent);

    while (!input.empty()) {
        const std::size_t end = std::min(input.find(vrako::kFrameEnd), input.size());
        const std::string_view step = input.substr(0, end);
        input.remove_prefix(std::min(end + 1, input.size()));
        if (step.empty())
            continue;
        const auto first = static_cast<unsigned char>(step[0]);
        if (first < 0x10)
            userAction(game, first, step.size() > 1 ? static_cast<unsigned char>(step[1]) : 0);
        else
            game.dispatch(step);
        checkState(game);
    }
    return 0;
}
