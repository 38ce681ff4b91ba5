// SPDX-License-Identifier: MIT
// The keyboard between the chat entry and the table in a whole window: clicks on the table leave
// it with the chat, Tab lends it to the table and takes it back.
#include "chat/chatedit.h"
#include "table_helper.h"
#include "windows/gamestartdialog.h"

#include <QApplication>

using namespace vrako;
using namespace vrako::tabletest;

namespace {
// Given no widget, QTest sends a key where the keyboard is, as a player's typing goes.
QWidget* const keyboard = nullptr;
} // namespace

class TestTableKeyboard : public QObject {
    Q_OBJECT
private slots:
    void typingAfterAClickOnThePileGoesToTheChat();
};

void TestTableKeyboard::typingAfterAClickOnThePileGoesToTheChat() {
    Lobby lobby;
    auto w = fastHost(lobby, 3);
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTRY_VERIFY(w->game().loggedin());
    int draws = 0;
    connect(&w->game(), &ClientGame::sendRequested, this,
            [&draws](const QByteArray& m) { draws += m.startsWith("CMD_drawcard") ? 1 : 0; });
    GameTable& t = table(*w);
    w->gameStart()->button_startClick();
    QVERIFY(QTest::qWaitFor([&] { return readyToPlay(*w, t); }, kTurnTimeout));

    ChatEdit* entry = w->chat().mychat();
    QTest::mouseClick(entry, Qt::LeftButton);
    QTRY_VERIFY(entry->hasFocus());
    click(widget(*w, QStringLiteral("image_draw")));
    QTest::keyClicks(keyboard, QStringLiteral("bad day"));
    QTest::keyClick(keyboard, Qt::Key_Return);
    QTRY_VERIFY(chatText(*w).contains(QStringLiteral("bad day")));
    QCOMPARE(draws, 1);
    QVERIFY(entry->hasFocus());

    // Tab lends the keyboard to the table, which shows it with the frame; Tab takes it back.
    QTest::keyClick(keyboard, Qt::Key_Tab);
    QVERIFY(w->board().hasFocus());
    QVERIFY(widget(*w, QStringLiteral("keyboard_choice"))->isVisible());
    QTest::keyClick(keyboard, Qt::Key_Tab);
    QVERIFY(entry->hasFocus());
    QVERIFY(!widget(*w, QStringLiteral("keyboard_choice"))->isVisible());
}

QTEST_MAIN(TestTableKeyboard)
#include "tst_tablekeyboard.moc"
