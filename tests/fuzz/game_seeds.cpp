// SPDX-License-Identifier: MIT
// Writes fuzz seeds of whole games, which random bytes almost never reach:
//  - for fuzz_serverlogic, scripted games that play whole rounds and whole games, so that
//    replaying the corpus reaches scoring, the end of a game and the start of the next round;
//  - for fuzz_clientgame, what the host, a player and a spectator receive during those games,
//    with the player's clicks among them, in pieces of a few kilobytes.
//
//   cmake --build build --target game_seeds
//   build/fuzz/game_seeds tests/fuzz/corpus
//
// Each game is played on the same rig the server-logic target runs (serverlogic_steps.h).
// That target seeds its random source with the input's size, so a script is played for a
// chosen size and padded with empty steps to exactly that size; a script that comes out
// longer is played again for a larger size. The output is the same on every run.
#include "net/commands.h"
#include "net/messages.h"
#include "serverlogic_steps.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using vrako::GameTable;

// The client-game target's user steps (see fuzz_clientgame.cpp).
constexpr char kClickCard = 0;
constexpr char kChooseColour = 1;
constexpr char kClickDraw = 2;

// Records one script's steps while applying them to a rig, and what chosen records receive.
class Script {
public:
    Script(std::size_t size, std::vector<int> watched) : rig(size) {
        for (int r : watched)
            received[r];
        rig.host.sent = [this](int record, std::string_view message) {
            if (const auto it = received.find(record); it != received.end())
                it->second += message;
        };
    }

    void event(char code, int record = 0) {
        std::string step(1, code);
        if (code == 1)
            step += static_cast<char>(record);
        add(step);
    }
    // A message as the protocol builds it (closing 0xFF bytes are dropped) from record.
    void from(int record, std::string message) {
        while (!message.empty() && message.back() == vrako::kFrameEnd)
            message.pop_back();
        // 88 is a multiple of 11 above the event codes.
        add(static_cast<char>(88 + record) + message);
    }
    void connect(int record, std::string_view name,
                 std::string_view version = vrako::cmd::version) {
        event(0);
        from(record, vrako::msg::logininfo(record, version, name));
    }
    // What the player of seat did on its table before its request left.
    void user(int seat, char what, int arg = 0) {
        if (const auto it = received.find(seat); it != received.end())
            it->second += std::string{what, static_cast<char>(arg), vrako::kFrameEnd};
    }

    const vrako::GameState& state() const { return rig.logic.table().state(); }
    const GameTable& table() const { return rig.logic.table(); }
    bool computerArmed() const { return rig.host.computerArmed; }
    bool roundArmed() const { return rig.host.roundArmed; }

    fuzzsteps::Rig rig;
    std::string bytes;
    std::map<int, std::string> received;
    int rounds = 0;

private:
    void add(const std::string& step) {
        bytes += step;
        bytes += vrako::kFrameEnd;
        rig.apply(step);
    }
};

// A move for a seat its player plays: a card the rules take if there is one (now and then one
// they refuse, or a draw instead), else a draw.
void playerMove(Script& s, int seat, std::mt19937& choice) {
    const vrako::GameState& st = s.state();
    const vrako::Hand& hand = s.table().player(seat).cards;
    std::vector<int> playable;
    std::vector<int> refused;
    for (int slot = 1; slot <= vrako::kMaxHand; ++slot) {
        const int code = hand[slot];
        if (code == vrako::card::kEmpty)
            continue;
        if (vrako::isSpecial(code) || vrako::mayFollow(code, st.topcard, st.gametype))
            playable.push_back(slot);
        else
            refused.push_back(slot);
    }
    const auto roll = choice() % 20;
    if (roll == 0 && !refused.empty()) {
        const int slot = refused[choice() % refused.size()];
        s.user(seat, kClickCard, slot);
        s.from(seat, vrako::msg::playcard(seat, 0, slot));
        return;
    }
    if (playable.empty() || roll == 1) {
        s.user(seat, kClickDraw);
        s.from(seat, vrako::msg::drawcard(seat));
        return;
    }
    const int slot = playable[choice() % playable.size()];
    int colour = 0;
    s.user(seat, kClickCard, slot);
    if (hand[slot] == vrako::card::kWild) {
        colour = vrako::colourCodeAt(static_cast<int>(choice() % 4));
        // The target's colour step names colour values from 50 on.
        s.user(seat, kChooseColour, colour - 50);
    }
    s.from(seat, vrako::msg::playcard(seat, colour, slot));
}

// Plays on until the game ends; before each move, `between` may add steps of its own (it gets
// the number of the move). False when the game got stuck or did not end.
bool playOn(Script& s, std::mt19937& choice, const std::function<void(int)>& between = {}) {
    for (int move = 0; move < 100000; ++move) {
        if (between && s.state().gamerunning)
            between(move);
        if (!s.state().gamerunning)
            return true;
        const int seat = s.state().currentseat;
        if (seat == 0) {
            if (!s.roundArmed())
                return false;
            s.event(3);
            ++s.rounds;
        } else if (s.table().isComputerPlayed(seat)) {
            if (!s.computerArmed())
                return false;
            s.event(2);
        } else {
            playerMove(s, seat, choice);
        }
    }
    return false;
}

// The computer plays every seat: the host's window is there but has not logged in.
bool computerGame(Script& s, int playTo, vrako::GameType type) {
    std::mt19937 choice(1);
    s.event(0);
    s.from(1, vrako::msg::startgame("Host", playTo, type));
    return playOn(s, choice);
}

// Four players and two spectators (one with another version). A seat turns to watching and
// back, a player leaves and comes back in the middle of a round and gets its hand again,
// spectators chat and send sounds, the host removes a spectator; after the game ends the host
// starts another one and the host's own connection leaves during it.
bool tableGame(Script& s, int playTo, vrako::GameType type) {
    std::mt19937 choice(7);
    s.connect(1, "Ann");
    s.connect(2, "Bo");
    s.connect(3, "Cy");
    s.connect(4, "Di");
    s.connect(5, "Eve");
    s.connect(6, "Fay", "1.0.0");
    s.from(1, vrako::msg::startgame("Ann", playTo, type));
    const auto events = [&s](int move) {
        switch (move) {
        case 5:
            s.from(3, vrako::msg::justwatch(3, 1));
            break;
        case 15:
            s.from(5, vrako::msg::chat(5, "well played", "$00FF0000"));
            s.from(2, vrako::msg::playasound(2, 20));
            break;
        case 25:
            s.from(1, vrako::msg::justwatch(3, 2));
            break;
        case 30:
            s.event(1, 2);
            break;
        case 34:
            s.connect(2, "Bo");
            break;
        case 40:
            s.from(1, vrako::msg::kickhim(1, 6));
            s.from(4, vrako::msg::action(4, "waves", "$00000000"));
            break;
        default:
            break;
        }
    };
    if (!playOn(s, choice, events))
        return false;
    s.from(1, vrako::msg::startgame("Ann", playTo, type));
    s.event(1, 1);
    return playOn(s, choice);
}

struct Game {
    const char* name;
    std::function<bool(Script&)> play;
    // Records whose received messages become client-game seeds, with the first byte of each
    // (bit 0: hosting, bit 1: sorting the hand).
    std::map<int, char> clients;
};

void write(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A client's messages in pieces of about kPiece bytes, cut between messages, so that the fuzzer
// keeps its pace; every piece after the first starts with the first message (the record
// number the server gave), as the client has it by then.
void writeClientSeeds(const std::filesystem::path& folder, const std::string& name, char flags,
                      const std::string& stream) {
    constexpr std::size_t kPiece = 4000;
    const std::string first = stream.substr(0, stream.find(vrako::kFrameEnd) + 1);
    std::size_t start = 0;
    for (int piece = 1; start < stream.size(); ++piece) {
        std::size_t end = std::min(start + kPiece, stream.size());
        if (end < stream.size()) {
            const std::size_t last = stream.rfind(vrako::kFrameEnd, end - 1);
            end = last != std::string::npos && last >= start ? last + 1 : stream.size();
        }
        const std::string header = piece == 1 ? std::string(1, flags) : flags + first;
        write(folder / (name + "-piece" + std::to_string(piece)),
              header + stream.substr(start, end - start));
        start = end;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: game_seeds CORPUS_FOLDER\n");
        return 2;
    }
    const std::filesystem::path corpus(argv[1]);
    const std::vector<Game> games = {
        {"game-computer-to5-same",
         [](Script& s) { return computerGame(s, 5, vrako::GameType::SameNumber); },
         {}},
        {"game-computer-to30-more-or-less",
         [](Script& s) { return computerGame(s, 30, vrako::GameType::OneMoreOrLess); },
         {{1, 1}}},
        {"game-table-to15-more-or-less",
         [](Script& s) { return tableGame(s, 15, vrako::GameType::OneMoreOrLess); },
         {{1, 1}, {3, 2}, {5, 0}}},
        {"game-table-to8-same",
         [](Script& s) { return tableGame(s, 8, vrako::GameType::SameNumber); },
         {{3, 0}}},
    };
    int failed = 0;
    for (const Game& game : games) {
        std::vector<int> watched;
        for (const auto& [record, flags] : game.clients)
            watched.push_back(record);
        std::size_t size = 2048;
        for (int attempt = 0;; ++attempt) {
            Script s(size, watched);
            const bool ended = game.play(s);
            if (ended && s.bytes.size() <= size) {
                s.bytes.resize(size, vrako::kFrameEnd);
                write(corpus / "serverlogic" / game.name, s.bytes);
                for (const auto& [record, flags] : game.clients)
                    writeClientSeeds(corpus / "clientgame",
                                     game.name + ("-record" + std::to_string(record)), flags,
                                     s.received[record]);
                std::printf("%s: %zu bytes, %d new rounds\n", game.name, size, s.rounds);
                break;
            }
            if (attempt == 50) {
                std::fprintf(stderr, "%s: no whole game\n", game.name);
                ++failed;
                break;
            }
            // A longer script, or another deal of the cards when the game got stuck.
            size = ended ? s.bytes.size() + 256 : size + 1;
        }
    }
    return failed == 0 ? 0 : 1;
}
