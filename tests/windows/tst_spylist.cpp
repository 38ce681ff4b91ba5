// SPDX-License-Identifier: MIT
// The spy list: its entries, the mouse choosing an entry and the host's removal request.
#include "widgets/cardart.h"
#include "windows/spylist.h"

#include <QAction>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

using namespace vrako;

class TestSpyList : public QObject {
    Q_OBJECT
private slots:
    void feltBackground();
    void entriesAndWindow();
    void removal_data();
    void removal();
    void mouseChoosesTheEntry();
    void chosenEntryFollowsListChanges();
};

void TestSpyList::entriesAndWindow() {
    SpyList list;
    QCOMPARE(list.windowTitle(), QStringLiteral("Vrako -Spys"));
    QCOMPARE(list.size(), QSize(170, 195));
    QVERIFY(list.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!list.removeAction()->isEnabled());
    QCOMPARE(list.removeAction()->text(), QStringLiteral("Remove From Game"));
    QCOMPARE(list.hoveredIndex(), -1);
    list.setEntries({{5, "Eve"}, {7, "Fay"}});
    QCOMPARE(list.entries(), (QStringList{"5: Eve", "7: Fay"}));
    list.setEntries({{7, "Fay"}});
    QCOMPARE(list.entries(), QStringList{"7: Fay"});
    list.setRemoveEnabled(true);
    QVERIFY(list.removeAction()->isEnabled());
}

void TestSpyList::removal_data() {
    using List = QList<Spectator>;
    QTest::addColumn<List>("entries");
    QTest::addColumn<int>("hovered");
    QTest::addColumn<int>("seat"); // 0: nothing is sent
    QTest::newRow("no entry under the mouse") << List{{6, "Di"}} << -1 << 0;
    QTest::newRow("seat 6") << List{{6, "Di"}} << 0 << 6;
    QTest::newRow("second entry") << List{{5, "Eve"}, {9, "Gus"}} << 1 << 9;
    QTest::newRow("a name with a colon") << List{{8, "7: Fay"}} << 0 << 8;
    QTest::newRow("stale index") << List{{6, "Di"}} << 3 << 0;
}

void TestSpyList::removal() {
    QFETCH(QList<Spectator>, entries);
    QFETCH(int, hovered);
    QFETCH(int, seat);
    SpyList list;
    list.setRemoveEnabled(true);
    list.setEntries(entries);
    list.setHoveredIndex(hovered);
    QSignalSpy spy(&list, &SpyList::kickRequested);
    list.removeAction()->trigger();
    QCOMPARE(spy.count(), seat ? 1 : 0);
    if (seat)
        QCOMPARE(spy.at(0).at(0).toInt(), seat);
}

void TestSpyList::mouseChoosesTheEntry() {
    SpyList list;
    list.setEntries({{5, "Eve"}, {6, "Di"}});
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    auto* box = list.findChild<QListWidget*>(QStringLiteral("listbox_spys"));
    const QRect second = box->visualItemRect(box->item(1));
    QTest::mouseMove(box->viewport(), second.center());
    QTRY_COMPARE(list.hoveredIndex(), 1);
    QTest::mouseMove(box->viewport(), QPoint(second.center().x(), box->viewport()->height() - 2));
    QTRY_COMPARE(list.hoveredIndex(), -1);
}

void TestSpyList::chosenEntryFollowsListChanges() {
    SpyList list;
    QSignalSpy kicks(&list, &SpyList::kickRequested);
    list.setEntries({{5, "Eve"}, {6, "Di"}, {7, "Fay"}});
    list.setHoveredIndex(1);
    // Eve leaves while the popup is open: Di is still the one meant.
    list.setEntries({{6, "Di"}, {7, "Fay"}});
    QCOMPARE(list.hoveredIndex(), 0);
    list.popup_kickhimClick();
    QCOMPARE(kicks.size(), 1);
    QCOMPARE(kicks.takeFirst().at(0).toInt(), 6);
    // Di leaves: nobody is meant any more.
    list.setEntries({{7, "Fay"}});
    QCOMPARE(list.hoveredIndex(), -1);
    list.popup_kickhimClick();
    QCOMPARE(kicks.size(), 0);
}

void TestSpyList::feltBackground() {
    // The main window's felt shows behind the controls.
    SpyList list;
    const QImage shot = list.grab().toImage();
    const QImage tile = art::backgroundTile().toImage();
    const QPoint at(165, 150);
    QCOMPARE(shot.pixelColor(at), tile.pixelColor(at.x() % tile.width(), at.y() % tile.height()));
}

QTEST_MAIN(TestSpyList)
#include "tst_spylist.moc"
