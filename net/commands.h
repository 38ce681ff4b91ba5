// SPDX-License-Identifier: MIT
#pragma once

// The protocol between the host's server and every client window.
//
//   message  = command-word "+" fields 0xFF
//   fields   = field *( "+" field )      ; the last field is the rest and may hold "+"
//   number   = 1*DIGIT                   ; decimal, no sign
//
// Several messages end in "+" (an empty last field); the login ends in two 0xFF bytes. Text is
// UTF-8. Record numbers 1 to 4 are the seats (1 is the host's own window), 5 to 9 spectators.

#include <string_view>

namespace vrako::cmd {

// Client to server, in the order the server tests them.
inline constexpr std::string_view logininfo = "CMD_logininfo";
inline constexpr std::string_view kickhim = "CMD_kickhim";
inline constexpr std::string_view chat = "CMD_chat";
inline constexpr std::string_view action = "CMD_action";
inline constexpr std::string_view startgame = "CMD_startgame";
inline constexpr std::string_view playcard = "CMD_playcard";
inline constexpr std::string_view drawcard = "CMD_drawcard";
inline constexpr std::string_view justwatch = "CMD_justwatch";
inline constexpr std::string_view playasound = "CMD_playasound";

// Server to clients (chat, action, startgame, playcard and playasound are shared words).
inline constexpr std::string_view full = "CMD_full";
inline constexpr std::string_view sendlogininfo = "CMD_sendlogininfo";
inline constexpr std::string_view newplayerinfo = "CMD_newplayerinfo";
inline constexpr std::string_view existingplayers = "CMD_existingplayers";
inline constexpr std::string_view havewrongversion = "CMD_havewrongversion";
inline constexpr std::string_view wrongversion = "CMD_wrongversion";
inline constexpr std::string_view gamestats = "CMD_gamestats";
inline constexpr std::string_view thescores = "CMD_thescores";
inline constexpr std::string_view thecards = "CMD_thecards";
inline constexpr std::string_view cardcount = "CMD_cardcount";
inline constexpr std::string_view nextplayer = "CMD_nextplayer";
inline constexpr std::string_view playerdisconnected = "CMD_playerdisconnected";
inline constexpr std::string_view startround = "CMD_startround";
inline constexpr std::string_view acard = "CMD_acard";
inline constexpr std::string_view playwild = "CMD_playwild";
inline constexpr std::string_view nomatch = "CMD_nomatch";
inline constexpr std::string_view goplay = "CMD_goplay";
inline constexpr std::string_view nomorecards = "CMD_nomorecards";
inline constexpr std::string_view vrako = "CMD_vrako";
inline constexpr std::string_view bomb = "CMD_bomb";
inline constexpr std::string_view setdeletecard = "CMD_setdeletecard";
inline constexpr std::string_view justwatching = "CMD_justwatching";
inline constexpr std::string_view winner = "CMD_winner";
inline constexpr std::string_view wingame = "CMD_wingame";

// The version text a client sends at login and the server compares.
inline constexpr std::string_view version = "1.0.17";

} // namespace vrako::cmd
