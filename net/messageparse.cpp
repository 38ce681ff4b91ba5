// SPDX-License-Identifier: MIT
// The readers of the catalogue in messages.h.
#include "net/fieldreader.h"
#include "net/messages.h"

namespace vrako::msg {
namespace {

// A message of one number: the first field, or the whole field text where the number is the
// rest of the message.
template <typename Fields> std::optional<Fields> oneNumber(std::optional<int> n) {
    if (!n)
        return std::nullopt;
    return Fields{*n};
}

std::optional<int> firstField(std::string_view args) {
    return FieldReader(args).number();
}

} // namespace

std::optional<Login> parseLogininfo(std::string_view args) {
    FieldReader f(args);
    const auto record = f.number();
    if (!record)
        return std::nullopt;
    const std::string_view version = f.field();
    return Login{*record, version, f.rest()};
}

std::optional<ChatLine> parseChatLine(std::string_view args) {
    FieldReader f(args);
    const auto record = f.number();
    if (!record)
        return std::nullopt;
    return ChatLine{*record, f.rest()};
}

std::optional<Kick> parseKickhim(std::string_view args) {
    FieldReader f(args);
    const auto sender = f.number();
    const auto target = f.number();
    if (!sender || !target)
        return std::nullopt;
    return Kick{*sender, *target};
}

std::optional<GameStart> parseStartgame(std::string_view args) {
    FieldReader f(args);
    const std::string_view starter = f.field();
    const auto playTo = f.number();
    const std::string_view type = f.field();
    if (!playTo)
        return std::nullopt;
    return GameStart{starter, *playTo, gameTypeOf(type)};
}

std::optional<GameStarted> parseStartgameAll(std::string_view args) {
    FieldReader f(args);
    const std::string_view starter = f.field();
    const std::string_view score = f.field();
    return GameStarted{starter, score, gameTypeOf(f.field())};
}

std::optional<Play> parsePlaycard(std::string_view args) {
    FieldReader f(args);
    const auto seat = f.number();
    const auto colour = f.number();
    const auto slot = f.number();
    if (!seat || !colour || !slot)
        return std::nullopt;
    return Play{*seat, *colour, *slot};
}

std::optional<Seat> parseDrawcard(std::string_view args) {
    return oneNumber<Seat>(firstField(args));
}

std::optional<WatchRequest> parseJustwatch(std::string_view args) {
    FieldReader f(args);
    const auto seat = f.number();
    const auto mode = f.number();
    if (!seat || !mode)
        return std::nullopt;
    return WatchRequest{*seat, *mode};
}

std::optional<Sound> parsePlayasound(std::string_view args) {
    FieldReader f(args);
    const auto record = f.number();
    if (!record)
        return std::nullopt;
    return Sound{*record, f.rest()};
}

std::optional<Record> parseSendlogininfo(std::string_view args) {
    return oneNumber<Record>(parseNumber(args));
}

std::optional<Players> parsePlayers(std::string_view args) {
    FieldReader f(args);
    Players players;
    while (!f.atEnd()) {
        const auto record = f.number();
        const std::string_view name = f.field();
        const bool watching = f.field() == "1";
        if (!record)
            break;
        players.entries.push_back({*record, std::string(name), watching});
    }
    return players;
}

std::optional<Text> parseHavewrongversion(std::string_view args) {
    return Text{args};
}

std::optional<GameStats> parseGamestats(std::string_view args) {
    FieldReader f(args);
    const auto record = f.number();
    const auto topcard = f.number();
    const std::string_view score = f.field();
    const std::string_view type = f.field();
    if (!record || !topcard)
        return std::nullopt;
    return GameStats{*record, *topcard, score, gameTypeOf(type)};
}

std::optional<Scores> parseThescores(std::string_view args) {
    FieldReader f(args);
    Scores scores;
    for (std::string_view& score : scores.seats)
        score = f.field();
    return scores;
}

std::optional<Cards> parseThecards(std::string_view args) {
    FieldReader f(args);
    const auto seat = f.number();
    if (!seat)
        return std::nullopt;
    Cards cards{*seat, {}};
    while (!f.atEnd()) {
        const auto slot = f.number();
        const auto code = f.number();
        if (!slot || !code)
            break;
        cards.held.emplace_back(*slot, *code);
    }
    return cards;
}

std::optional<CardCount> parseCardcount(std::string_view args) {
    FieldReader f(args);
    const auto seat = f.number();
    const auto count = parseNumber(f.rest());
    if (!seat || !count)
        return std::nullopt;
    return CardCount{*seat, *count};
}

std::optional<Turn> parseNextplayer(std::string_view args) {
    FieldReader f(args);
    const auto seat = f.number();
    const std::string_view letter = f.field();
    if (!seat)
        return std::nullopt;
    return Turn{*seat, letter == "l"};
}

std::optional<Departure> parsePlayerdisconnected(std::string_view args) {
    FieldReader f(args);
    const auto record = f.number();
    if (!record)
        return std::nullopt;
    return Departure{*record, f.rest()};
}

std::optional<Text> parseChatRelay(std::string_view args) {
    return Text{args};
}

std::optional<Dealt> parseAcard(std::string_view args) {
    FieldReader f(args);
    const auto seat = f.number();
    const auto slot = f.number();
    const auto code = parseNumber(f.rest());
    if (!seat || !slot || !code)
        return std::nullopt;
    return Dealt{*seat, *slot, *code};
}

std::optional<Played> parsePlaycardAll(std::string_view args) {
    FieldReader f(args);
    const auto seat = f.number();
    const auto code = parseNumber(f.rest());
    if (!seat || !code)
        return std::nullopt;
    return Played{*seat, *code};
}

std::optional<WildColour> parsePlaywild(std::string_view args) {
    return oneNumber<WildColour>(parseNumber(args));
}

std::optional<Seat> parseNomorecards(std::string_view args) {
    return oneNumber<Seat>(parseNumber(args));
}

std::optional<SlotOf> parseSetdeletecard(std::string_view args) {
    FieldReader f(args);
    const auto seat = f.number();
    const auto slot = f.number();
    if (!seat || !slot)
        return std::nullopt;
    return SlotOf{*seat, *slot};
}

std::optional<Watching> parseJustwatching(std::string_view args) {
    FieldReader f(args);
    const auto seat = f.number();
    if (!seat)
        return std::nullopt;
    return Watching{*seat, f.field() == "1"};
}

std::optional<Seat> parseWinner(std::string_view args) {
    return oneNumber<Seat>(firstField(args));
}

std::optional<Seat> parseWingame(std::string_view args) {
    return oneNumber<Seat>(parseNumber(args));
}

} // namespace vrako::msg
