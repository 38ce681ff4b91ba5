// SPDX-License-Identifier: MIT
// Exact bytes of every protocol message, what its reader makes of them, the field reader and the
// framer.
#include "net/fieldreader.h"
#include "net/framing.h"
#include "net/messages.h"

#include <QTest>
#include <functional>

using namespace vrako;

// Whether a message's field text reads as expected.
using ReadCheck = std::function<bool(std::string_view args)>;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(ReadCheck)

namespace {
std::string frame(const char* text) {
    return std::string(text) + '\xFF';
}

template <typename Fields>
ReadCheck reads(std::optional<Fields> (*parse)(std::string_view), std::optional<Fields> expected) {
    return [parse, expected](std::string_view args) { return parse(args) == expected; };
}
} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void bytes_data();
    void bytes();
    void readers_data();
    void readers();
    void loginEndsInTwoFrameBytes();
    void fieldReader();
    void numbers_data();
    void numbers();
    void framerJoinsSplitMessages();
    void framerRefusesOversizedTail();
};

void TestCatalogue::bytes_data() {
    QTest::addColumn<std::string>("built");
    QTest::addColumn<std::string>("expected");
    auto row = [](const char* name, std::string built, const char* text) {
        QTest::newRow(name) << built << frame(text);
    };
    row("chat", msg::chat(3, "hi + there", "clRed"), "CMD_chat+3+hi + there|clRed");
    row("action", msg::action(2, "waves", "$00123456"), "CMD_action+2+waves|$00123456");
    row("kickhim", msg::kickhim(1, 6), "CMD_kickhim+1+6+");
    row("startgame", msg::startgame("Ann", 20, GameType::SameNumber), "CMD_startgame+Ann+20+s+");
    row("playcard", msg::playcard(2, 54, 7), "CMD_playcard+2+54+7");
    row("drawcard", msg::drawcard(4), "CMD_drawcard+4");
    row("justwatch", msg::justwatch(2, 1), "CMD_justwatch+2+1");
    row("playasound", msg::playasound(3, 12), "CMD_playasound+3+wave12+");
    row("full", msg::full(), "CMD_full+");
    row("sendlogininfo", msg::sendlogininfo(5), "CMD_sendlogininfo+5");
    row("newplayerinfo", msg::newplayerinfo(2, "Bo"), "CMD_newplayerinfo+2+Bo+0");
    row("existingplayers",
        msg::existingplayers({{1, "Ann", false}, {3, "Cy", true}, {6, "Di", false}}),
        "CMD_existingplayers+1+Ann+0+3+Cy+1+6+Di+0");
    row("havewrongversion", msg::havewrongversion("Bo"), "CMD_havewrongversion+Bo");
    row("wrongversion", msg::wrongversion(), "CMD_wrongversion+");
    row("gamestats", msg::gamestats(2, 54, 25, GameType::OneMoreOrLess),
        "CMD_gamestats+2+54+25+d+");
    row("thescores", msg::thescores({2, 5, 0, 7}), "CMD_thescores+2+5+0+7+");
    row("thecards", msg::thecards(3, {{1, 17}, {2, 5}, {6, 40}}), "CMD_thecards+3+1+17+2+5+6+40");
    row("cardcount", msg::cardcount(4, 13), "CMD_cardcount+4+13");
    row("nextplayer", msg::nextplayer(0, 'r'), "CMD_nextplayer+0+r");
    row("playerdisconnected", msg::playerdisconnected(6, "Di"), "CMD_playerdisconnected+6+Di");
    row("chatRelay", msg::chatRelay(3, "Cy", "a+b|clRed"), "CMD_chat+3+Cy chats: a+b|clRed");
    row("actionRelay", msg::actionRelay(3, "Cy", "waves|clRed"), "CMD_action+3+Cy waves|clRed");
    row("playasoundRelay", msg::playasoundRelay(3, "wave7+"), "CMD_playasound+3+wave7+");
    row("startround", msg::startround(), "CMD_startround+");
    row("acard", msg::acard(2, 6, 44), "CMD_acard+2+6+44");
    row("playcardAll", msg::playcardAll(1, 2), "CMD_playcard+1+2");
    row("playwild", msg::playwild(56), "CMD_playwild+56");
    row("nomatch", msg::nomatch(), "CMD_nomatch+");
    row("goplay", msg::goplay(), "CMD_goplay+");
    row("nomorecards", msg::nomorecards(3), "CMD_nomorecards+3");
    row("vrako", msg::vrako(), "CMD_vrako+");
    row("bomb", msg::bomb(), "CMD_bomb+");
    row("setdeletecard", msg::setdeletecard(2, 9), "CMD_setdeletecard+2+9+");
    row("justwatching", msg::justwatching(3, 2), "CMD_justwatching+3+2");
    row("winner", msg::winner(4), "CMD_winner+4+");
    row("wingame", msg::wingame(2), "CMD_wingame+2");
}

void TestCatalogue::bytes() {
    QFETCH(std::string, built);
    QFETCH(std::string, expected);
    QCOMPARE(QByteArray::fromStdString(built), QByteArray::fromStdString(expected));
}

void TestCatalogue::readers_data() {
    using namespace msg;
    QTest::addColumn<std::string>("message"); // up to its first 0xFF
    QTest::addColumn<ReadCheck>("check");
    auto row = [](const char* name, std::string message, ReadCheck check) {
        QTest::newRow(name) << message << check;
    };
    // Every built message reads back.
    row("logininfo", logininfo(2, "1.0.17", "Bo+Bo"),
        reads(parseLogininfo, {{2, "1.0.17", "Bo+Bo"}}));
    row("chat", chat(3, "hi + there", "clRed"), reads(parseChatLine, {{3, "hi + there|clRed"}}));
    row("action", action(2, "waves", "$00123456"), reads(parseChatLine, {{2, "waves|$00123456"}}));
    row("kickhim", kickhim(1, 6), reads(parseKickhim, {{1, 6}}));
    constexpr GameType same = GameType::SameNumber, oneMore = GameType::OneMoreOrLess;
    row("startgame", startgame("Ann", 20, same), reads(parseStartgame, {{"Ann", 20, same}}));
    row("startgame to all", startgame("Ann", 20, oneMore),
        reads(parseStartgameAll, {{"Ann", "20", oneMore}}));
    row("playcard", playcard(2, 54, 7), reads(parsePlaycard, {{2, 54, 7}}));
    row("drawcard", drawcard(4), reads(parseDrawcard, {{4}}));
    row("justwatch", justwatch(2, kWatch), reads(parseJustwatch, {{2, kWatch}}));
    row("playasound", playasound(3, 12), reads(parsePlayasound, {{3, "wave12+"}}));
    row("playasoundRelay", playasoundRelay(4, "wave7+"), reads(parsePlayasound, {{4, "wave7+"}}));
    row("sendlogininfo", sendlogininfo(5), reads(parseSendlogininfo, {{5}}));
    row("newplayerinfo", newplayerinfo(2, "Bo"), reads(parsePlayers, {{{{2, "Bo", false}}}}));
    const std::vector<PlayerEntry> others{{1, "Ann", false}, {3, "Cy", true}, {6, "Di", false}};
    row("existingplayers", existingplayers(others), reads(parsePlayers, {{others}}));
    row("havewrongversion", havewrongversion("Bo"), reads(parseHavewrongversion, {{"Bo"}}));
    row("gamestats", gamestats(2, 54, 25, oneMore),
        reads(parseGamestats, {{2, 54, "25", oneMore}}));
    row("thescores", thescores({2, 5, 0, 17}), reads(parseThescores, {{{"2", "5", "0", "17"}}}));
    const std::vector<std::pair<int, int>> held{{1, 17}, {2, 5}, {6, 40}};
    row("thecards", thecards(3, held), reads(parseThecards, {{3, held}}));
    row("cardcount", cardcount(4, 13), reads(parseCardcount, {{4, 13}}));
    row("nextplayer r", nextplayer(0, 'r'), reads(parseNextplayer, {{0, false}}));
    row("nextplayer l", nextplayer(2, 'l'), reads(parseNextplayer, {{2, true}}));
    row("playerdisconnected", playerdisconnected(6, "Di+x"),
        reads(parsePlayerdisconnected, {{6, "Di+x"}}));
    row("chatRelay", chatRelay(3, "Cy", "a+b|clRed"),
        reads(parseChatRelay, {{"3+Cy chats: a+b|clRed"}}));
    row("actionRelay", actionRelay(3, "Cy", "waves|clRed"),
        reads(parseChatRelay, {{"3+Cy waves|clRed"}}));
    row("acard", acard(2, 6, 44), reads(parseAcard, {{2, 6, 44}}));
    row("playcardAll", playcardAll(1, 2), reads(parsePlaycardAll, {{1, 2}}));
    row("playwild", playwild(56), reads(parsePlaywild, {{56}}));
    row("nomorecards", nomorecards(3), reads(parseNomorecards, {{3}}));
    row("setdeletecard", setdeletecard(2, 9), reads(parseSetdeletecard, {{2, 9}}));
    row("justwatching on", justwatching(3, kWatch), reads(parseJustwatching, {{3, true}}));
    row("justwatching off", justwatching(3, kPlayAgain), reads(parseJustwatching, {{3, false}}));
    row("winner", winner(4), reads(parseWinner, {{4}}));
    row("wingame", wingame(2), reads(parseWingame, {{2}}));

    // A number that does not read refuses the message; text fields and extra fields do not,
    // unless the number is the rest of the message; lists keep what came before a bad entry.
    row("login without record", "CMD_logininfo+x+1.0.17+Bo", reads(parseLogininfo, {}));
    row("login of a record only", "CMD_logininfo+2", reads(parseLogininfo, {{2, "", ""}}));
    row("kick without target", "CMD_kickhim+1+", reads(parseKickhim, {}));
    row("score not a number", "CMD_startgame+Ann+lots+s+", reads(parseStartgame, {}));
    row("score shown as text", "CMD_startgame+Ann+lots+s+",
        reads(parseStartgameAll, {{"Ann", "lots", same}}));
    row("other letter", "CMD_startgame+Ann+20+x+", reads(parseStartgame, {{"Ann", 20, oneMore}}));
    row("colour not a number", "CMD_playcard+2+x+7", reads(parsePlaycard, {}));
    row("extra field ignored", "CMD_playcard+2+54+7+9", reads(parsePlaycard, {{2, 54, 7}}));
    row("card is the rest", "CMD_playcard+1+2+", reads(parsePlaycardAll, {}));
    row("seat is the whole text", "CMD_wingame+2+", reads(parseWingame, {}));
    row("topcard missing", "CMD_gamestats+2", reads(parseGamestats, {}));
    row("players up to a bad record", "CMD_existingplayers+1+Ann+0+x+Bo+1+3+Cy+0",
        reads(parsePlayers, {{{{1, "Ann", false}}}}));
    row("cards up to a bad pair", "CMD_thecards+3+1+17+2+y+6+40",
        reads(parseThecards, {{3, {{1, 17}}}}));
}

void TestCatalogue::readers() {
    QFETCH(std::string, message);
    QFETCH(ReadCheck, check);
    const std::string_view text = std::string_view(message).substr(0, message.find('\xFF'));
    const ParsedMessage m = splitCommand(text);
    QVERIFY(!m.command.empty());
    QVERIFY(check(m.args));
}

void TestCatalogue::loginEndsInTwoFrameBytes() {
    const std::string login = msg::logininfo(2, "1.0.17", "Bo Bo");
    QCOMPARE(QByteArray::fromStdString(login), QByteArray("CMD_logininfo+2+1.0.17+Bo Bo\xFF\xFF"));

    MessageFramer framer;
    std::vector<std::string> out;
    QVERIFY(framer.feed(login, out));
    QCOMPARE(out.size(), std::size_t(2));
    QCOMPARE(out[1], std::string());
    QVERIFY(splitCommand(out[1]).command.empty());
}

void TestCatalogue::fieldReader() {
    // The catch-up hand of seat 3: 17 in slot 1, 5 in slot 2, 40 in slot 6.
    const std::string m = msg::thecards(3, {{1, 17}, {2, 5}, {6, 40}});
    const ParsedMessage p = splitCommand(std::string_view(m).substr(0, m.size() - 1));
    QCOMPARE(p.command, std::string_view("CMD_thecards"));
    FieldReader r(p.args);
    std::vector<int> fields;
    while (!r.atEnd())
        fields.push_back(r.number().value_or(-1));
    QCOMPARE(fields, (std::vector<int>{3, 1, 17, 2, 5, 6, 40}));

    // Free text is the last field and keeps its "+".
    FieldReader chat("3+hello + world|clRed");
    QCOMPARE(chat.number(), std::optional<int>(3));
    QCOMPARE(chat.rest(), std::string_view("hello + world|clRed"));
    QVERIFY(chat.atEnd());
    QCOMPARE(chat.field(), std::string_view());

    // A trailing "+" leaves an empty last field; reading past the end gives empty fields.
    FieldReader trailing("Ann+20+s+");
    QCOMPARE(trailing.field(), std::string_view("Ann"));
    QCOMPARE(trailing.number(), std::optional<int>(20));
    QCOMPARE(trailing.field(), std::string_view("s"));
    QVERIFY(trailing.atEnd());
    QCOMPARE(trailing.number(), std::nullopt);

    QVERIFY(splitCommand("CMD_goplay").command.empty());
    QCOMPARE(splitCommand("CMD_goplay+").command, std::string_view("CMD_goplay"));
}

void TestCatalogue::numbers_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("value"); // -1: not a number
    QTest::newRow("zero") << QByteArray("0") << 0;
    QTest::newRow("seat") << QByteArray("4") << 4;
    QTest::newRow("nine digits") << QByteArray("123456789") << 123456789;
    QTest::newRow("empty") << QByteArray("") << -1;
    QTest::newRow("sign") << QByteArray("-1") << -1;
    QTest::newRow("plus sign") << QByteArray("+1") << -1;
    QTest::newRow("space") << QByteArray(" 1") << -1;
    QTest::newRow("letters") << QByteArray("1a") << -1;
    QTest::newRow("overflow") << QByteArray("99999999999") << -1;
}

void TestCatalogue::numbers() {
    QFETCH(QByteArray, text);
    QFETCH(int, value);
    const std::optional<int> n = parseNumber(std::string_view(text.constData(), text.size()));
    QCOMPARE(n.value_or(-1), value);
}

void TestCatalogue::framerJoinsSplitMessages() {
    const std::string stream = frame("CMD_a+1") + frame("") + frame("CMD_b+x+y");
    // Every way of cutting the stream into two reads gives the same messages.
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        MessageFramer framer;
        std::vector<std::string> out;
        QVERIFY(framer.feed(std::string_view(stream).substr(0, cut), out));
        QVERIFY(framer.feed(std::string_view(stream).substr(cut), out));
        QCOMPARE(out, (std::vector<std::string>{"CMD_a+1", "", "CMD_b+x+y"}));
        QCOMPARE(framer.pending(), std::size_t(0));
    }
    // Byte by byte.
    MessageFramer framer;
    std::vector<std::string> out;
    for (char c : stream)
        QVERIFY(framer.feed(std::string_view(&c, 1), out));
    QCOMPARE(out.size(), std::size_t(3));
}

void TestCatalogue::framerRefusesOversizedTail() {
    MessageFramer framer;
    std::vector<std::string> out;
    const std::string chunk(16 * 1024, 'a');
    for (int i = 0; i < 4; ++i)
        QVERIFY(framer.feed(chunk, out)); // exactly 64 KiB pending is still allowed
    QCOMPARE(framer.pending(), MessageFramer::kMaxPending);
    QVERIFY(!framer.feed("b", out));
    QCOMPARE(framer.pending(), std::size_t(0));
    QVERIFY(out.empty());

    // A complete message larger than the limit in one read is fine: only the tail counts.
    MessageFramer big;
    QVERIFY(big.feed(std::string(100 * 1024, 'c') + '\xFF', out));
    QCOMPARE(out.size(), std::size_t(1));
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
