// SPDX-License-Identifier: MIT
#pragma once

// Builders for every protocol message. Each returns the exact bytes to send, closing 0xFF
// included, so a caller hands the result whole to one Send.

#include <array>
#include <cstddef>
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

// ---- client to server ----
std::string logininfo(int record, std::string_view version, std::string_view name);
std::string chat(int record, std::string_view text, std::string_view colour);
std::string action(int record, std::string_view text, std::string_view colour);
std::string kickhim(int sender, int target);
std::string startgame(std::string_view starter, int playToScore, std::string_view type);
std::string playcard(int seat, int colour, int slot);
std::string drawcard(int seat);
std::string justwatch(int seat, int mode);
std::string playasound(int record, int wave);

// ---- server to clients ----
struct PlayerEntry {
    int record = 0;
    std::string name;
    bool watching = false;
};

std::string full();
std::string sendlogininfo(int record);
std::string newplayerinfo(int record, std::string_view name);
std::string existingplayers(const std::vector<PlayerEntry>& others);
std::string havewrongversion(std::string_view name);
std::string wrongversion();
std::string gamestats(int record, int topcard, int playToScore, std::string_view type);
std::string thescores(const std::array<int, 4>& scores);
// slots: (slot, card) pairs in ascending slot order.
std::string thecards(int seat, const std::vector<std::pair<int, int>>& slots);
std::string cardcount(int seat, int count);
std::string nextplayer(int seat, char directionLetter);
std::string playerdisconnected(int record, std::string_view name);
std::string chatRelay(int record, std::string_view name, std::string_view text);
std::string actionRelay(int record, std::string_view name, std::string_view text);
// rest: everything after the record field of the received CMD_playasound, passed on unchanged.
std::string playasoundRelay(int record, std::string_view rest);
// startgame to all has the same form as the request: use startgame().
std::string startround();
std::string acard(int seat, int slot, int card);
std::string playcardAll(int seat, int card);
std::string playwild(int colour);
std::string nomatch();
std::string goplay();
std::string nomorecards(int seat);
std::string vrako();
std::string bomb();
std::string setdeletecard(int seat, int slot);
std::string justwatching(int seat, int mode);
std::string winner(int seat);
std::string wingame(int seat);

} // namespace vrako::msg
