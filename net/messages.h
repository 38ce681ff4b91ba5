// SPDX-License-Identifier: MIT
#pragma once

// Every protocol message, both ways. A builder returns the exact bytes to send, closing 0xFF
// included, so a caller hands the result whole to one Send. Beside each builder, its reader
// takes the field text after the command word (as splitCommand gives it) and returns the fields,
// or nothing when a field does not read: a number that is not a decimal number, a number that is
// missing. A text field read as text never fails, so some readers always answer. Fields after
// the last one a reader knows are ignored, except where the last field is the rest of the
// message: then they are part of it. Messages without fields (full, wrongversion, startround,
// nomatch, goplay, vrako, bomb) are known by their command word alone.
//
// The readers check the form only; whether a number names a seat, a record or a slot is for the
// side that handles it.

#include "support/cards.h"
#include "support/seating.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vrako::msg {

// The longest message a server relays, closing 0xFF included: every peer accepts it, since
// a reader closes a connection whose unfinished message grows past 64 KiB.
inline constexpr std::size_t kMaxRelayed = 64 * 1024 - 1;
// Login names are cut to this many characters.
inline constexpr std::size_t kMaxNameLength = 64;
// The most characters (UTF-16 units) a chat or action line may hold. Each unit is at most three
// bytes of UTF-8, so with the longest name and colour the relay still fits kMaxRelayed.
inline constexpr int kMaxChatText = 20000;
static_assert(3 * static_cast<std::size_t>(kMaxChatText) + 4 * kMaxNameLength + 64 < kMaxRelayed);

// The mode of justwatch and justwatching: the seat is set to just watching, or plays again.
inline constexpr int kWatch = 1;
inline constexpr int kPlayAgain = 2;

// A message that names one seat, or one record.
struct Seat {
    int seat = 0;
    bool operator==(const Seat&) const = default;
};
struct Record {
    int record = 0;
    bool operator==(const Record&) const = default;
};

// ---- client to server ----

struct Login {
    int record = 0;
    std::string_view version;
    std::string_view name; // the rest of the message
    bool operator==(const Login&) const = default;
};
std::string logininfo(int record, std::string_view version, std::string_view name);
std::optional<Login> parseLogininfo(std::string_view args);

// A chat line or action as the server receives it. text is the rest of the message: the line,
// "|" and the colour, relayed as it stands.
struct ChatLine {
    int record = 0;
    std::string_view text;
    bool operator==(const ChatLine&) const = default;
};
std::string chat(int record, std::string_view text, std::string_view colour);
std::string action(int record, std::string_view text, std::string_view colour);
// Reads chat() and action() alike.
std::optional<ChatLine> parseChatLine(std::string_view args);

struct Kick {
    int sender = 0;
    int target = 0;
    bool operator==(const Kick&) const = default;
};
std::string kickhim(int sender, int target);
std::optional<Kick> parseKickhim(std::string_view args);

// The host's request for a new game.
struct GameStart {
    std::string_view starter;
    int playToScore = 0;
    GameType type = GameType::SameNumber;
    bool operator==(const GameStart&) const = default;
};
// The same message as the server announces it to every record; the clients show the score as
// it came, so it stays text.
struct GameStarted {
    std::string_view starter;
    std::string_view playToScore;
    GameType type = GameType::SameNumber;
    bool operator==(const GameStarted&) const = default;
};
// The type travels as its letter and reads back with gameTypeOf().
std::string startgame(std::string_view starter, int playToScore, GameType type);
std::optional<GameStart> parseStartgame(std::string_view args);
std::optional<GameStarted> parseStartgameAll(std::string_view args);

// colour is a Wild's colour value, 0 for any other card.
struct Play {
    int seat = 0;
    int colour = 0;
    int slot = 0;
    bool operator==(const Play&) const = default;
};
std::string playcard(int seat, int colour, int slot);
std::optional<Play> parsePlaycard(std::string_view args);

std::string drawcard(int seat);
std::optional<Seat> parseDrawcard(std::string_view args);

// mode is kWatch or kPlayAgain; the server ignores other numbers.
struct WatchRequest {
    int seat = 0;
    int mode = 0;
    bool operator==(const WatchRequest&) const = default;
};
std::string justwatch(int seat, int mode);
std::optional<WatchRequest> parseJustwatch(std::string_view args);

// rest: everything after the record field, "waveN+" as a client sends it. The relay passes it
// on unchanged, so both directions read alike.
struct Sound {
    int record = 0;
    std::string_view rest;
    bool operator==(const Sound&) const = default;
};
std::string playasound(int record, int wave);
std::string playasoundRelay(int record, std::string_view rest);
std::optional<Sound> parsePlayasound(std::string_view args);

// ---- server to clients ----

struct PlayerEntry {
    int record = 0;
    std::string name;
    bool watching = false;
    bool operator==(const PlayerEntry&) const = default;
};
// The entries read before the first whose record is not a number.
struct Players {
    std::vector<PlayerEntry> entries;
    bool operator==(const Players&) const = default;
};

std::string full();
std::string sendlogininfo(int record);
// The whole field text is the record.
std::optional<Record> parseSendlogininfo(std::string_view args);
std::string newplayerinfo(int record, std::string_view name);
std::string existingplayers(const std::vector<PlayerEntry>& others);
// Reads newplayerinfo() and existingplayers() alike.
std::optional<Players> parsePlayers(std::string_view args);

// A message whose whole field text is one piece of text.
struct Text {
    std::string_view text;
    bool operator==(const Text&) const = default;
};
std::string havewrongversion(std::string_view name);
std::optional<Text> parseHavewrongversion(std::string_view args);
std::string wrongversion();

// The catch-up for a record that logs in while a game runs.
struct GameStats {
    int record = 0;
    int topcard = 0;
    std::string_view playToScore; // shown as it came
    GameType type = GameType::SameNumber;
    bool operator==(const GameStats&) const = default;
};
std::string gamestats(int record, int topcard, int playToScore, GameType type);
std::optional<GameStats> parseGamestats(std::string_view args);

// The four seats' scores, shown as they came.
struct Scores {
    std::array<std::string_view, seating::kSeats> seats{};
    bool operator==(const Scores&) const = default;
};
std::string thescores(const std::array<int, seating::kSeats>& scores);
std::optional<Scores> parseThescores(std::string_view args);

// held: (slot, card) pairs in ascending slot order; a reader keeps the pairs before the first
// that does not read.
struct Cards {
    int seat = 0;
    std::vector<std::pair<int, int>> held;
    bool operator==(const Cards&) const = default;
};
std::string thecards(int seat, const std::vector<std::pair<int, int>>& held);
std::optional<Cards> parseThecards(std::string_view args);

// count is the rest of the message.
struct CardCount {
    int seat = 0;
    int count = 0;
    bool operator==(const CardCount&) const = default;
};
std::string cardcount(int seat, int count);
std::optional<CardCount> parseCardcount(std::string_view args);

// ascending: the letter is exactly "l" (play goes up the seats); any other letter reads as "r".
struct Turn {
    int seat = 0;
    bool ascending = true;
    bool operator==(const Turn&) const = default;
};
std::string nextplayer(int seat, char directionLetter);
std::optional<Turn> parseNextplayer(std::string_view args);

struct Departure {
    int record = 0;
    std::string_view name; // the rest of the message
    bool operator==(const Departure&) const = default;
};
std::string playerdisconnected(int record, std::string_view name);
std::optional<Departure> parsePlayerdisconnected(std::string_view args);

// A relayed chat line or action: "record+name chats: text|colour" or "record+name text|colour".
// The chat view reads the whole field text as it stands.
std::string chatRelay(int record, std::string_view name, std::string_view text);
std::string actionRelay(int record, std::string_view name, std::string_view text);
std::optional<Text> parseChatRelay(std::string_view args);

// startgame to all has the same form as the request: use startgame() and parseStartgameAll().
std::string startround();

// card is the rest of the message.
struct Dealt {
    int seat = 0;
    int slot = 0;
    int card = 0;
    bool operator==(const Dealt&) const = default;
};
std::string acard(int seat, int slot, int card);
std::optional<Dealt> parseAcard(std::string_view args);

// card is the rest of the message.
struct Played {
    int seat = 0;
    int card = 0;
    bool operator==(const Played&) const = default;
};
std::string playcardAll(int seat, int card);
std::optional<Played> parsePlaycardAll(std::string_view args);

// The whole field text is the colour value.
struct WildColour {
    int colour = 0;
    bool operator==(const WildColour&) const = default;
};
std::string playwild(int colour);
std::optional<WildColour> parsePlaywild(std::string_view args);

std::string nomatch();
std::string goplay();
std::string nomorecards(int seat);
// The whole field text is the seat.
std::optional<Seat> parseNomorecards(std::string_view args);
std::string vrako();
std::string bomb();

struct SlotOf {
    int seat = 0;
    int slot = 0;
    bool operator==(const SlotOf&) const = default;
};
std::string setdeletecard(int seat, int slot);
std::optional<SlotOf> parseSetdeletecard(std::string_view args);

// watching: the mode field is exactly "1" (kWatch); anything else reads as playing again.
struct Watching {
    int seat = 0;
    bool watching = false;
    bool operator==(const Watching&) const = default;
};
std::string justwatching(int seat, int mode);
std::optional<Watching> parseJustwatching(std::string_view args);

std::string winner(int seat);
std::optional<Seat> parseWinner(std::string_view args);
std::string wingame(int seat);
// The whole field text is the seat.
std::optional<Seat> parseWingame(std::string_view args);

} // namespace vrako::msg
