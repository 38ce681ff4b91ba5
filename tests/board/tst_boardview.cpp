// SPDX-License-Identifier: MIT
// The card table widgets follow the client's state: places, fans, names a screen reader reads,
// and play by mouse and keyboard.
#include "board/boardlabel.h"
#include "board/boardview.h"
#include "board/clicklabel.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

using namespace vrako;

namespace {

struct Table {
    ClientGame game;
    BoardView board{&game};
    QList<QByteArray> sent;

    Table(int seat, const QList<int>& codes) {
        QObject::connect(&game, &ClientGame::sendRequested,
                         [this](const QByteArray& b) { sent.append(b); });
        game.setPlayerName(QStringLiteral("Ann"));
        game.dispatch("CMD_sendlogininfo+" + std::to_string(seat));
        for (int i = 0; i < codes.size(); ++i)
            game.dispatch("CMD_acard+" + std::to_string(seat) + "+" + std::to_string(i + 1) + "+" +
                          std::to_string(codes[i]));
        game.dispatch("CMD_nextplayer+" + std::to_string(seat) + "+l");
        board.show();
    }
    QPoint cardPos(int id) const { return board.cardPicture(id)->pos(); }
};

} // namespace

class TestBoardView : public QObject {
    Q_OBJECT
private slots:
    void handPlaces();
    void clickingPlaysAndRaises();
    void fansAndAccessibleNames();
    void wildChooserByMouseAndKeyboard();
    void keyboardPlay();
    void peerTextIsPlainAndElided();
    void keyboardMarkShowsAndLetsClicksThrough();
    void watchingEyesLeaveTheNameClickable();
    void largeTextLooksAsALabelDrawsIt();
};

void TestBoardView::handPlaces() {
    Table t(1, {9, 21, 33, 45, 7});
    for (int id = 1; id <= 5; ++id)
        QCOMPARE(t.cardPos(id), QPoint(108 + 24 * (id - 1), 254));
    QCOMPARE(t.board.cardPicture(1)->size(), QSize(53, 77));
    QCOMPARE(t.board.cardPicture(3)->objectName(), QStringLiteral("card3"));

    // Playing the card in place 1 closes the gap.
    QTest::mouseClick(t.board.cardPicture(2), Qt::LeftButton);
    t.game.dispatch("CMD_playcard+1+21");
    QCOMPARE(t.board.cardPicture(2), nullptr);
    QCOMPARE(t.cardPos(3), QPoint(132, 254));
    QCOMPARE(t.cardPos(4), QPoint(156, 254));
    QCOMPARE(t.cardPos(5), QPoint(180, 254));

    // A right click sorts; the later places lie over the earlier ones.
    QTest::mouseClick(t.board.cardPicture(1), Qt::RightButton);
    QCOMPARE(t.cardPos(5), QPoint(108, 254));
    QCOMPARE(t.cardPos(1), QPoint(132, 254));
    const QList<QObject*> kids = t.board.children();
    QVERIFY(kids.indexOf(t.board.cardPicture(4)) > kids.indexOf(t.board.cardPicture(1)));
}

void TestBoardView::clickingPlaysAndRaises() {
    Table t(2, {9, 21});
    QTest::mouseClick(t.board.cardPicture(1), Qt::LeftButton);
    QCOMPARE(t.sent.last(), QByteArray("CMD_playcard+2+0+1\xFF"));
    QCOMPARE(t.cardPos(1), QPoint(108, 247));
    t.game.dispatch("CMD_nomatch+");
    QCOMPARE(t.cardPos(1), QPoint(108, 254));
    QCOMPARE(t.board.findChild<QLabel*>("label_status")->text(), QStringLiteral("Invalid Play"));

    // Only the left button acts on the draw pile; a middle click on a card does nothing.
    const qsizetype before = t.sent.size();
    QTest::mouseClick(t.board.findChild<ClickLabel*>("image_draw"), Qt::RightButton);
    QTest::mouseClick(t.board.cardPicture(2), Qt::MiddleButton);
    QCOMPARE(t.sent.size(), before);
    QTest::mouseClick(t.board.findChild<ClickLabel*>("image_draw"), Qt::LeftButton);
    QCOMPARE(t.sent.last(), QByteArray("CMD_drawcard+2\xFF"));
}

void TestBoardView::fansAndAccessibleNames() {
    Table t(2, {17});
    t.game.dispatch("CMD_cardcount+4+5"); // opposite: horizontal, at the top
    t.game.dispatch("CMD_cardcount+3+3"); // left: vertical
    QLabel* top = t.board.fan(4);
    QCOMPARE(top->geometry(), QRect(204, 26, 43 + 50, 77));
    QCOMPARE(top->accessibleName(), QStringLiteral("Kling: 5 cards"));
    QLabel* left = t.board.fan(3);
    QCOMPARE(left->geometry(), QRect(28, 56, 53, 67 + 30));
    // The local seat holds its cards in the hand, not in a fan.
    QCOMPARE(t.board.fan(2)->accessibleName(), t.game.seat(2).name + QStringLiteral(": 1 cards"));
    QCOMPARE(t.board.cardPicture(1)->accessibleName(), QStringLiteral("green 1"));
    // Pictures that act on a click read as buttons that a screen reader can press.
    QAccessibleInterface* start =
        QAccessible::queryAccessibleInterface(t.board.findChild<QLabel*>("button_start"));
    QCOMPARE(start->role(), QAccessible::Button);
    QCOMPARE(start->text(QAccessible::Name), QStringLiteral("Start Game"));
    QAccessibleInterface* draw =
        QAccessible::queryAccessibleInterface(t.board.findChild<QLabel*>("image_draw"));
    draw->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(t.sent.last(), QByteArray("CMD_drawcard+2\xFF"));
    QCOMPARE(t.board.findChild<QLabel*>("image_draw")->accessibleName(),
             QStringLiteral("Draw Pile"));
    t.game.dispatch("CMD_playcard+3+35");
    QCOMPARE(t.board.findChild<QLabel*>("image_topcard")->accessibleName(),
             QStringLiteral("Top card: red 7"));
    QCOMPARE(t.board.findChild<QLabel*>("label_status")->text(), QStringLiteral("Color is Red"));
    // The red bar lies in front of the others.
    const QList<QObject*> kids = t.board.children();
    QVERIFY(kids.indexOf(t.board.findChild<QLabel*>("image_red")) >
            kids.indexOf(t.board.findChild<QLabel*>("image_blue")));
}

void TestBoardView::wildChooserByMouseAndKeyboard() {
    Table t(1, {2, 2});
    QWidget* chooser = t.board.findChild<QWidget*>("panel_choosecolor");
    QTest::mouseClick(t.board.cardPicture(1), Qt::LeftButton);
    QVERIFY(chooser->isVisible());
    QCOMPARE(chooser->geometry(), QRect(187, 121, 84, 99));
    QCOMPARE(t.sent.size(), 1); // only the login
    QTest::mouseClick(chooser->findChild<ClickLabel*>("choose_green"), Qt::LeftButton);
    QCOMPARE(t.sent.last(), QByteArray("CMD_playcard+1+54+1\xFF"));
    QVERIFY(!chooser->isVisible());

    t.game.dispatch("CMD_playcard+1+2");
    t.game.dispatch("CMD_nextplayer+1+l");
    t.board.setFocus();
    QTest::keyClick(&t.board, Qt::Key_Right);
    QTest::keyClick(&t.board, Qt::Key_Return);
    QVERIFY(chooser->isVisible());
    QTest::keyClick(&t.board, Qt::Key_Y);
    QCOMPARE(t.sent.last(), QByteArray("CMD_playcard+1+56+2\xFF"));
}

void TestBoardView::keyboardPlay() {
    Table t(3, {5, 6, 7});
    t.board.setFocus();
    QTest::keyClick(&t.board, Qt::Key_Right);
    QTest::keyClick(&t.board, Qt::Key_Right);
    QCOMPARE(t.board.selectedPlace(), 1);
    QTest::keyClick(&t.board, Qt::Key_Left);
    QTest::keyClick(&t.board, Qt::Key_Left); // stays on the first card
    QCOMPARE(t.board.selectedPlace(), 0);
    QTest::keyClick(&t.board, Qt::Key_D);
    QCOMPARE(t.sent.last(), QByteArray("CMD_drawcard+3\xFF"));
    QTest::keyClick(&t.board, Qt::Key_Space);
    QCOMPARE(t.sent.last(), QByteArray("CMD_playcard+3+0+1\xFF"));
}

void TestBoardView::peerTextIsPlainAndElided() {
    Table t(1, {5});
    const QString markup = QStringLiteral("<img src=x>");
    const QString longName = QStringLiteral("<b>Maximiliana</b>-Wolkenstein-Oberhausen");
    t.game.dispatch("CMD_newplayerinfo+2+<img src=x>+0");
    t.game.dispatch("CMD_newplayerinfo+3+" + longName.toStdString() + "+0");
    t.game.dispatch("CMD_playcard+2+1");
    t.game.dispatch("CMD_nextplayer+2+l");
    QLabel* name = t.board.nameLabel(2);
    QLabel* status = t.board.findChild<QLabel*>("label_status");
    QLabel* turn = t.board.findChild<QLabel*>("label_turn");
    for (QLabel* l : {name, status, turn})
        QCOMPARE(l->textFormat(), Qt::PlainText);
    QCOMPARE(name->text(), markup);
    QCOMPARE(status->text(), markup + QStringLiteral(" Reversed Play"));
    QCOMPARE(turn->text(), markup + QStringLiteral("'s turn."));
    QVERIFY(name->toolTip().isEmpty());

    // A name wider than its label ends in an ellipsis; the tooltip shows it whole, as text.
    const auto tip = [](const QLabel* l) {
        return QTextDocumentFragment::fromHtml(l->toolTip()).toPlainText();
    };
    QLabel* tooLong = t.board.nameLabel(3);
    QVERIFY(tooLong->text().endsWith(QChar(0x2026)));
    QVERIFY(tooLong->fontMetrics().horizontalAdvance(tooLong->text()) <=
            tooLong->contentsRect().width());
    QCOMPARE(tip(tooLong), longName);
    t.game.dispatch("CMD_nextplayer+3+l");
    QVERIFY(turn->text().endsWith(QChar(0x2026)));
    QCOMPARE(tip(turn), longName + QStringLiteral("'s turn."));
}

void TestBoardView::keyboardMarkShowsAndLetsClicksThrough() {
    ClientGame game;
    QList<QByteArray> sent;
    QObject::connect(&game, &ClientGame::sendRequested,
                     [&sent](const QByteArray& b) { sent.append(b); });
    QWidget window;
    auto* entry = new QLineEdit(&window);
    auto* board = new BoardView(&game, &window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(board);
    layout->addWidget(entry);
    game.dispatch("CMD_sendlogininfo+1");
    for (int id = 1; id <= 3; ++id)
        game.dispatch("CMD_acard+1+" + std::to_string(id) + "+" + std::to_string(4 + id));
    board->setKeyboardHome(entry);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    entry->setFocus();
    QTRY_VERIFY(entry->hasFocus());

    // A click on a card leaves the keyboard with the chat entry.
    QTest::mouseClick(board->cardPicture(2), Qt::LeftButton);
    QVERIFY(entry->hasFocus());

    // Given the keyboard, the table frames itself until the keys choose a card.
    board->setFocus(Qt::TabFocusReason);
    QWidget* mark = board->findChild<QWidget*>("keyboard_choice");
    QVERIFY(mark->isVisible());
    QCOMPARE(mark->geometry(), board->rect());
    QTest::keyClick(board, Qt::Key_Right);
    QTest::keyClick(board, Qt::Key_Right);
    QCOMPARE(board->selectedPlace(), 1);

    // The frame is drawn round the chosen card in a colour no card edge has.
    QVERIFY(mark->isVisible());
    const QRect card = board->cardPicture(2)->geometry();
    QVERIFY(mark->geometry().contains(card.topLeft()));
    const QImage shot = board->grab().toImage();
    const QColor edge = shot.pixelColor(card.left() - 1, card.center().y());
    QVERIFY2(edge.red() > 200 && edge.green() > 180 && edge.blue() < 80, qPrintable(edge.name()));

    // Clicks go through the frame to the card below it.
    game.dispatch("CMD_nextplayer+1+l");
    QWidget* hit = board->childAt(card.topLeft() + QPoint(5, 30));
    QCOMPARE(hit, board->cardPicture(2));
    QTest::mouseClick(hit, Qt::LeftButton);
    QCOMPARE(sent.last(), QByteArray("CMD_playcard+1+0+2\xFF"));

    // A key that is not for the table hands the keyboard back and is typed into the entry;
    // Escape only hands it back.
    QTest::keyClick(board, 'q');
    QVERIFY(entry->hasFocus());
    QVERIFY(!mark->isVisible());
    QCOMPARE(entry->text(), QStringLiteral("q"));
    board->setFocus(Qt::TabFocusReason);
    QTest::keyClick(board, Qt::Key_Escape);
    QVERIFY(entry->hasFocus());
    QCOMPARE(entry->text(), QStringLiteral("q"));
}

void TestBoardView::watchingEyesLeaveTheNameClickable() {
    Table t(1, {});
    t.game.setHosting(true);
    t.game.dispatch("CMD_newplayerinfo+3+Mo+0");
    t.game.dispatch("CMD_justwatching+3+1");
    QLabel* name = t.board.nameLabel(3);
    QLabel* eyes = t.board.findChild<QLabel*>("image_watching3");
    QVERIFY(eyes->isVisible());
    // The eyes sit on the label beside its text, not over the first letters.
    QVERIFY(name->geometry().contains(eyes->geometry()));
    QVERIFY(!name->contentsRect().translated(name->pos()).intersects(eyes->geometry()));
    QCOMPARE(name->text(), QStringLiteral("Mo"));

    // A right click on the eyes opens the seat popup for that seat.
    QWidget* hit = t.board.childAt(eyes->geometry().center());
    QCOMPARE(hit, name);
    const QPoint at = hit->mapFrom(&t.board, eyes->geometry().center());
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, hit->mapToGlobal(at));
    QApplication::sendEvent(hit, &menu);
    QCOMPARE(t.board.popupSeat(), 3);
    QVERIFY(t.board.seatPopup()->isVisible());
    t.board.seatPopup()->close();
}

// A label of the table keeps large text as a picture: it must look as a label drawing it
// afresh does, after every change of text, colour, size or font.
void TestBoardView::largeTextLooksAsALabelDrawsIt() {
    BoardLabel kept;
    QLabel plain;
    const auto same = [&] {
        for (QLabel* l : {static_cast<QLabel*>(&kept), &plain})
            l->setAttribute(Qt::WA_TranslucentBackground);
        plain.setText(kept.text());
        plain.setFont(kept.font());
        plain.setPalette(kept.palette());
        plain.setAlignment(kept.alignment());
        plain.resize(kept.size());
        return kept.grab().toImage() == plain.grab().toImage();
    };
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(40);
    font.setBold(true);
    kept.setFont(font);
    kept.setText(QStringLiteral("Klot"));
    kept.resize(300, 50);
    QVERIFY(same());
    kept.setText(QStringLiteral("Kling"));
    QVERIFY(same());
    setLabelColour(&kept, board::kSilver);
    QVERIFY(same());
    kept.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    kept.resize(200, 60);
    QVERIFY(same());
    font.setPixelSize(30);
    kept.setFont(font);
    QVERIFY(same());
}

QTEST_MAIN(TestBoardView)
#include "tst_boardview.moc"
