// SPDX-License-Identifier: MIT
#include "net/messages.h"

#include "net/commands.h"
#include "net/framing.h"

namespace vrako::msg {
namespace {

// Joins a command word and its pieces with "+" and closes the frame.
class Builder {
public:
    explicit Builder(std::string_view word) : m_s(word) {}
    Builder& f(std::string_view text) {
        m_s += '+';
        m_s += text;
        return *this;
    }
    Builder& f(int n) { return f(std::to_string(n)); }
    Builder& f(GameType type) {
        const char letter = letterOf(type);
        return f(std::string_view(&letter, 1));
    }
    // Raw text appended without a separator.
    Builder& raw(std::string_view text) {
        m_s += text;
        return *this;
    }
    std::string done() {
        m_s += kFrameEnd;
        return std::move(m_s);
    }

private:
    std::string m_s;
};

} // namespace

std::string logininfo(int record, std::string_view version, std::string_view name) {
    // The second 0xFF yields an empty message on the server, which is ignored.
    return Builder(cmd::logininfo).f(record).f(version).f(name).raw("\xFF").done();
}

std::string chat(int record, std::string_view text, std::string_view colour) {
    return Builder(cmd::chat).f(record).f(text).raw("|").raw(colour).done();
}

std::string action(int record, std::string_view text, std::string_view colour) {
    return Builder(cmd::action).f(record).f(text).raw("|").raw(colour).done();
}

std::string kickhim(int sender, int target) {
    return Builder(cmd::kickhim).f(sender).f(target).f("").done();
}

std::string startgame(std::string_view starter, int playToScore, GameType type) {
    return Builder(cmd::startgame).f(starter).f(playToScore).f(type).f("").done();
}

std::string playcard(int seat, int colour, int slot) {
    return Builder(cmd::playcard).f(seat).f(colour).f(slot).done();
}

std::string drawcard(int seat) {
    return Builder(cmd::drawcard).f(seat).done();
}

std::string justwatch(int seat, int mode) {
    return Builder(cmd::justwatch).f(seat).f(mode).done();
}

std::string playasound(int record, int wave) {
    return Builder(cmd::playasound).f(record).f("wave" + std::to_string(wave)).f("").done();
}

std::string full() {
    return Builder(cmd::full).f("").done();
}

std::string sendlogininfo(int record) {
    return Builder(cmd::sendlogininfo).f(record).done();
}

std::string newplayerinfo(int record, std::string_view name) {
    return Builder(cmd::newplayerinfo).f(record).f(name).f("0").done();
}

std::string existingplayers(const std::vector<PlayerEntry>& others) {
    Builder b(cmd::existingplayers);
    for (const PlayerEntry& e : others)
        b.f(e.record).f(e.name).f(e.watching ? "1" : "0");
    return b.done();
}

std::string havewrongversion(std::string_view name) {
    return Builder(cmd::havewrongversion).f(name).done();
}

std::string wrongversion() {
    return Builder(cmd::wrongversion).f("").done();
}

std::string gamestats(int record, int topcard, int playToScore, GameType type) {
    return Builder(cmd::gamestats).f(record).f(topcard).f(playToScore).f(type).f("").done();
}

std::string thescores(const std::array<int, seating::kSeats>& scores) {
    Builder b(cmd::thescores);
    for (int s : scores)
        b.f(s);
    return b.f("").done();
}

std::string thecards(int seat, const std::vector<std::pair<int, int>>& held) {
    Builder b(cmd::thecards);
    b.f(seat);
    for (const auto& [slot, card] : held)
        b.f(slot).f(card);
    return b.done();
}

std::string cardcount(int seat, int count) {
    return Builder(cmd::cardcount).f(seat).f(count).done();
}

std::string nextplayer(int seat, char directionLetter) {
    return Builder(cmd::nextplayer).f(seat).f(std::string_view(&directionLetter, 1)).done();
}

std::string playerdisconnected(int record, std::string_view name) {
    return Builder(cmd::playerdisconnected).f(record).f(name).done();
}

std::string chatRelay(int record, std::string_view name, std::string_view text) {
    return Builder(cmd::chat).f(record).f(name).raw(" chats: ").raw(text).done();
}

std::string actionRelay(int record, std::string_view name, std::string_view text) {
    return Builder(cmd::action).f(record).f(name).raw(" ").raw(text).done();
}

std::string playasoundRelay(int record, std::string_view rest) {
    return Builder(cmd::playasound).f(record).f(rest).done();
}

std::string startround() {
    return Builder(cmd::startround).f("").done();
}

std::string acard(int seat, int slot, int card) {
    return Builder(cmd::acard).f(seat).f(slot).f(card).done();
}

std::string playcardAll(int seat, int card) {
    return Builder(cmd::playcard).f(seat).f(card).done();
}

std::string playwild(int colour) {
    return Builder(cmd::playwild).f(colour).done();
}
std::string nomatch() {
    return Builder(cmd::nomatch).f("").done();
}
std::string goplay() {
    return Builder(cmd::goplay).f("").done();
}
std::string nomorecards(int seat) {
    return Builder(cmd::nomorecards).f(seat).done();
}
std::string vrako() {
    return Builder(cmd::vrako).f("").done();
}
std::string bomb() {
    return Builder(cmd::bomb).f("").done();
}

std::string setdeletecard(int seat, int slot) {
    return Builder(cmd::setdeletecard).f(seat).f(slot).f("").done();
}

std::string justwatching(int seat, int mode) {
    return Builder(cmd::justwatching).f(seat).f(mode).done();
}

std::string winner(int seat) {
    return Builder(cmd::winner).f(seat).f("").done();
}
std::string wingame(int seat) {
    return Builder(cmd::wingame).f(seat).done();
}

} // namespace vrako::msg
