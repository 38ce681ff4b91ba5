// SPDX-License-Identifier: MIT
// The entry field's hint gives way to every kind of typing; pastes of any kind go to the end;
// the log view's clear and copy leave nothing stale behind.
#include "chat/chatedit.h"
#include "widgets/cachedpanelstyle.h"
#include "widgets/richtextview.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

using namespace vrako;

class TestChatEdit : public QObject {
    Q_OBJECT
private slots:
    void composedTextReplacesTheHint();
    void middleClickPastesAtTheEnd();
    void clearingTheLogResetsScrolling();
    void copyNeedsSelectedText();
    void looksLikeAPlainEntryAtEverySizeAndState();
    void keptScrollBarLooksLikeAPlainOne();
};

// The entry keeps its frame as a picture per size and state: it must still look exactly like a
// line edit drawn afresh, whatever its size, focus or state was before.
void TestChatEdit::looksLikeAPlainEntryAtEverySizeAndState() {
    QWidget window;
    ChatEdit edit(&window);
    QLineEdit plain(&window);
    plain.setText(edit.text());
    // No caret, which blinks.
    edit.setFocusPolicy(Qt::NoFocus);
    plain.setFocusPolicy(Qt::NoFocus);
    const auto same = [&] {
        plain.resize(edit.size());
        plain.setEnabled(edit.isEnabled());
        return edit.grab().toImage() == plain.grab().toImage();
    };
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    edit.resize(200, 21);
    QVERIFY(same());
    edit.resize(1900, 60);
    QVERIFY(same());
    edit.setEnabled(false);
    QVERIFY(same());
    edit.setEnabled(true);
    edit.resize(200, 21);
    QVERIFY(same());
}

// Scroll bars are kept as pictures per position and size, like the entry's frame (the log's
// has this style).
void TestChatEdit::keptScrollBarLooksLikeAPlainOne() {
    QWidget window;
    QScrollBar kept(Qt::Vertical, &window);
    kept.setStyle(new CachedPanelStyle(&kept));
    QScrollBar plain(Qt::Vertical, &window);
    const auto same = [&] {
        plain.setRange(kept.minimum(), kept.maximum());
        plain.setPageStep(kept.pageStep());
        plain.setValue(kept.value());
        plain.resize(kept.size());
        return kept.grab().toImage() == plain.grab().toImage();
    };
    kept.setRange(0, 1000);
    kept.setPageStep(100);
    kept.resize(16, 300);
    QVERIFY(same());
    kept.setValue(600);
    QVERIFY(same());
    kept.resize(16, 900);
    QVERIFY(same());
}

void TestChatEdit::composedTextReplacesTheHint() {
    ChatEdit edit;
    QVERIFY(edit.holdsHint());
    QInputMethodEvent compose;
    compose.setCommitString(QStringLiteral("é"));
    QApplication::sendEvent(&edit, &compose);
    QCOMPARE(edit.text(), QStringLiteral("é"));
}

void TestChatEdit::middleClickPastesAtTheEnd() {
    QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard->supportsSelection())
        QSKIP("this platform has no selection clipboard");
    ChatEdit edit;
    edit.setText(QStringLiteral("hello"));
    edit.setCursorPosition(0);
    clipboard->setText(QStringLiteral(" world"), QClipboard::Selection);
    QTest::mouseClick(&edit, Qt::MiddleButton, {}, QPoint(2, 2));
    QCOMPARE(edit.text(), QStringLiteral("hello world"));
}

void TestChatEdit::clearingTheLogResetsScrolling() {
    RichTextView view;
    view.resize(300, 80);
    view.show();
    for (int i = 0; i < 50; ++i)
        view.addTextAsParagraph(QStringLiteral("line %1").arg(i), 0);
    view.format();
    view.scrollToEnd();
    QVERIFY(view.verticalScrollBar()->maximum() > 0);
    view.clear();
    view.format();
    QCOMPARE(view.verticalScrollBar()->maximum(), 0);
    QCOMPARE(view.verticalScrollBar()->value(), 0);
}

void TestChatEdit::copyNeedsSelectedText() {
    RichTextView view;
    view.addTextAsParagraph(QStringLiteral("abc"), 0);
    view.format();
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    view.copy(); // nothing selected
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("kept"));
    view.selectAll();
    view.copy();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("abc"));
}

QTEST_MAIN(TestChatEdit)
#include "tst_chatedit.moc"
