// SPDX-License-Identifier: MIT
#include "widgets/contrast.h"
#include "widgets/richtextview.h"
#include "widgets/smilies.h"
#include "widgets/textstyles.h"

#include <QAccessibleInterface>
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <climits>

using namespace vrako;

namespace {

// Lines may end after these characters, or before an opening bracket.
const QString kBreakAfter = QStringLiteral(" .;,:)}\"");
const QString kBreakBefore = QStringLiteral("({");

// The text of each laid-out line of a paragraph; pictures show as "#".
QStringList lineTexts(RichTextView& view, int para) {
    QStringList out;
    const RichParagraph& p = view.paragraph(para);
    for (const RichLine& line : p.lines) {
        QString s;
        for (const RichRun& run : line.runs) {
            const RichItem& item = p.items.at(run.item);
            s += item.isPicture() ? QStringLiteral("#") : item.text.mid(run.from, run.length);
        }
        out << s;
    }
    return out;
}

QString trimmedRight(QString s) {
    while (s.endsWith(QLatin1Char(' '))) {
        s.chop(1);
    }
    return s;
}

// The first piece of s up to and including a break chance, as the view cuts it.
QString firstFragment(const QString& s) {
    int end = 1;
    while (end < s.size() && !kBreakAfter.contains(s.at(end - 1)) &&
           !kBreakBefore.contains(s.at(end))) {
        ++end;
    }
    return s.left(end);
}

// Counts pixels close to a pure colour inside a rectangle.
int countNear(const QImage& image, const QRect& rect, const QColor& colour) {
    int n = 0;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) < 40 && qAbs(c.green() - colour.green()) < 40 &&
                qAbs(c.blue() - colour.blue()) < 40) {
                ++n;
            }
        }
    }
    return n;
}

} // namespace

class TestRichTextView : public QObject {
    Q_OBJECT

private:
    // Shows a view whose text area is `textWidth` pixels wide.
    void showView(RichTextView& view, int textWidth, int height = 200) {
        view.resize(textWidth + 2 * RichTextView::kMargin +
                        view.verticalScrollBar()->sizeHint().width(),
                    height);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.viewport()->width() - 2 * RichTextView::kMargin, textWidth);
    }

    QPoint pointAt(RichTextView& view, int para, int item, int offset) {
        const RichParagraph& p = view.paragraph(para);
        for (const RichLine& line : p.lines) {
            for (const RichRun& run : line.runs) {
                if (run.item == item && offset >= run.from && offset <= run.from + run.length) {
                    const RichItem& it = p.items.at(item);
                    const QFontMetricsF fm(view.styles()->font(it.style));
                    const qreal x = RichTextView::kMargin + run.x +
                                    fm.horizontalAdvance(it.text.mid(run.from, offset - run.from));
                    const int y = view.paragraphTop(para) + line.top + line.height / 2 -
                                  view.verticalScrollBar()->value();
                    return QPoint(qRound(x), y);
                }
            }
        }
        return {};
    }

private slots:
    void convertsToQColourWithRedInTheLowByte() {
        QCOMPARE(colourFromValue(0x0000FF), QColor(255, 0, 0));
        QCOMPARE(colourFromValue(0x563412), QColor(0x12, 0x34, 0x56));
        QCOMPARE(colourFromValue(0xFF000000), QColor(0, 0, 0));
        QCOMPARE(valueFromColour(QColor(0x12, 0x34, 0x56)), 0x563412u);
    }

    void wrapsAtDelimiters_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::newRow("words") << "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda"
                               << 120;
        QTest::newRow("punctuation")
            << "one,two;three:four.five(six)seven{eight}nine\"ten\"eleven,twelve;thirteen" << 70;
        QTest::newRow("narrow") << "a b c d e f g h i j k l m n o p" << 25;
        QTest::newRow("wide") << "short line" << 600;
    }

    void wrapsAtDelimiters() {
        QFETCH(QString, text);
        QFETCH(int, width);
        RichTextView view;
        showView(view, width);
        view.addTextAsParagraph(text, 0);
        view.format();
        const QStringList lines = lineTexts(view, 0);
        QCOMPARE(lines.join(QString()), text);
        const QFontMetricsF fm(view.styles()->font(0));
        for (int i = 0; i < lines.size(); ++i) {
            QVERIFY2(fm.horizontalAdvance(trimmedRight(lines.at(i))) <= width,
                     qPrintable(lines.at(i)));
            if (i + 1 == lines.size()) {
                break;
            }
            const QChar last = lines.at(i).back();
            const QChar next = lines.at(i + 1).front();
            QVERIFY2(kBreakAfter.contains(last) || kBreakBefore.contains(next),
                     qPrintable(lines.at(i) + "|" + lines.at(i + 1)));
            // Greedy: the next line's first piece would not have fitted.
            const QString joined = lines.at(i) + firstFragment(lines.at(i + 1));
            QVERIFY2(fm.horizontalAdvance(trimmedRight(joined)) > width, qPrintable(joined));
        }
    }

    void cutsWordsLongerThanALine() {
        RichTextView view;
        showView(view, 60);
        const QString word = QStringLiteral("abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz");
        view.addTextAsParagraph(QStringLiteral("x ") + word + QStringLiteral(" y"), 0);
        view.format();
        const QStringList lines = lineTexts(view, 0);
        QVERIFY(lines.size() > 3);
        QCOMPARE(lines.join(QString()), QStringLiteral("x ") + word + QStringLiteral(" y"));
        QCOMPARE(lines.first(), QStringLiteral("x "));
        const QFontMetricsF fm(view.styles()->font(0));
        for (const QString& line : lines) {
            QVERIFY(fm.horizontalAdvance(trimmedRight(line)) <= 60);
        }
    }

    void picturesAndTextShareLines() {
        RichTextView view;
        showView(view, 300);
        const QList<QPixmap> smilies = smileyPictures();
        view.addTextAsParagraph(QStringLiteral("hi "), 0);
        view.addPicture(smilies, 2);
        view.addPicture(smilies, 99); // not in the list: ignored
        view.addText(QStringLiteral(" there"), 0);
        view.format();
        QCOMPARE(view.itemCount(), 3);
        QCOMPARE(lineTexts(view, 0), QStringList{QStringLiteral("hi # there")});
        QCOMPARE(view.paragraph(0).items.at(1).pictureNo, 2);
        QVERIFY(view.paragraph(0).height >= kSmileyHeight);
    }

    // Pictures among the text grow with it, drawn afresh once per scale rather than stretched.
    void picturesFollowTheTextScale() {
        RichTextView view;
        showView(view, 300);
        QList<qreal> drawnAt;
        view.setPictureMaker([&drawnAt](int number, qreal ratio) {
            drawnAt.append(ratio);
            return smileyPicture(number, ratio);
        });
        view.addTextAsParagraph(QStringLiteral("hi "), 0);
        view.addPicture(smileyPictures(), 0);
        view.format();
        QVERIFY(qAbs(view.characterRect(3).width() - kSmileyWidth) <= 1);
        view.styles()->setScale(2);
        view.format();
        QVERIFY(qAbs(view.characterRect(3).width() - 2 * kSmileyWidth) <= 1);
        QVERIFY(view.paragraph(0).height >= 2 * kSmileyHeight);
        const qreal ratio = view.viewport()->devicePixelRatioF();
        const QImage shot = view.viewport()->grab().toImage();
        view.viewport()->grab();
        QCOMPARE(drawnAt, QList<qreal>{2 * ratio});
        // The smiley's yellow fills its doubled place.
        const QRect place = view.characterRect(3);
        QVERIFY(countNear(shot, place, QColor(255, 214, 48)) > kSmileyWidth * kSmileyHeight);
    }

    // At the end of a long log only the paragraphs that fill the view are laid out for a new
    // width; the rest keep their place until the next full layout, which lays them out too.
    void layingOutTheEndFirst() {
        TextStyles styles;
        RichTextDocument doc(&styles);
        const QString text = QStringLiteral("some words that wrap at a narrow width, %1");
        for (int i = 0; i < 60; ++i) {
            doc.append(RichItem{RichItem::Kind::Text, 0, text.arg(i), {}, -1, {}}, true);
        }
        doc.layout(1000);
        const int wideLines = int(doc.paragraph(0).lines.size());
        const int lineHeight = doc.paragraph(59).height;
        QVERIFY(doc.layoutEnd(120, 3 * lineHeight));
        QVERIFY(doc.isPartlyLaidOut());
        QVERIFY(doc.paragraph(59).lines.size() > wideLines);
        QVERIFY(!doc.paragraph(59).dirty);
        QVERIFY(doc.paragraph(0).dirty);
        // Placed one below the other all the same, the ones above at their last height.
        QCOMPARE(doc.top(59), RichTextDocument::kTopMargin + 59 * lineHeight);
        QVERIFY(doc.layout(120));
        QVERIFY(!doc.isPartlyLaidOut());
        QCOMPARE(doc.paragraph(0).lines.size(), doc.paragraph(59).lines.size());
        QCOMPARE(doc.height(),
                 doc.top(59) + doc.paragraph(59).height + RichTextDocument::kTopMargin);
    }

    void scrollsToTheEnd() {
        RichTextView view;
        showView(view, 300, 100);
        for (int i = 0; i < 40; ++i) {
            view.addTextAsParagraph(QStringLiteral("line %1").arg(i), i % 2 ? 0 : 6);
        }
        view.format();
        QCOMPARE(view.itemCount(), 40);
        QScrollBar* bar = view.verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        const int lastBottom = view.paragraphTop(39) + view.paragraph(39).height;
        for (int target : {view.documentHeight(), INT_MAX, bar->maximum() + 1}) {
            view.scrollTo(0);
            view.scrollTo(target);
            QCOMPARE(bar->value(), bar->maximum());
            QVERIFY(lastBottom - bar->value() <= view.viewport()->height());
            QVERIFY(lastBottom - bar->value() > 0);
        }
        view.scrollTo(-5);
        QCOMPARE(bar->value(), 0);
    }

    void fontChangesLayOutAgain() {
        RichTextView view;
        showView(view, 200);
        view.addTextAsParagraph(QStringLiteral("a line in style six that wraps somewhere"), 6);
        view.addTextAsParagraph(QStringLiteral("a line in style zero that wraps somewhere"), 0);
        view.format();
        const int height6 = view.paragraph(0).height;
        const int height0 = view.paragraph(1).height;
        const int top1 = view.paragraphTop(1);
        view.styles()->setSize(6, 16);
        view.format();
        QVERIFY(view.paragraph(0).height > height6);
        QCOMPARE(view.paragraph(1).height, height0);
        QCOMPARE(view.paragraphTop(1), top1 + view.paragraph(0).height - height6);
        // A width change lays out every paragraph for the new width.
        const int lines = int(view.paragraph(1).lines.size());
        view.resize(view.width() - 100, view.height());
        QCOMPARE(int(view.paragraph(1).lines.size()) > lines, true);
    }

    void styleColourRecoloursEarlierItems() {
        RichTextView view;
        showView(view, 400, 120);
        view.styles()->setSize(6, 20);
        view.styles()->setAttributes(6, true, false, false);
        view.styles()->setColour(6, 0x0000FF); // red
        view.addTextAsParagraph(QStringLiteral("WWWW MMMM"), 6);
        view.format();
        const QRect first(0, view.paragraphTop(0), view.viewport()->width(),
                          view.paragraph(0).height);
        QImage before = view.viewport()->grab().toImage();
        QVERIFY(countNear(before, first, Qt::red) > 50);
        QCOMPARE(countNear(before, first, Qt::blue), 0);

        view.styles()->setColour(6, 0xFF0000); // blue
        view.addTextAsParagraph(QStringLiteral("later"), 6);
        view.format();
        QImage after = view.viewport()->grab().toImage();
        QCOMPARE(countNear(after, first, Qt::red), 0);
        QVERIFY(countNear(after, first, Qt::blue) > 50);
    }

    // Colours that are hard to read on the white paper are drawn darker, in the same hue and
    // only as much as needed; colours that can be read, and the styles' own colours, stay.
    void paleColoursAreDarkenedOnScreenOnly() {
        const QColor white(Qt::white);
        const QColor edge(0x76, 0x76, 0x76); // 4.54 : 1, just readable
        QCOMPARE(readableOn(edge, white), edge);
        const QColor paler(0x77, 0x77, 0x77); // 4.48 : 1
        QVERIFY(contrastRatio(paler, white) < kReadableContrast);
        QCOMPARE(readableOn(paler, white), QColor(0x76, 0x76, 0x76));
        const QColor beige(0x9C, 0x98, 0x78); // the "is just watching" colour
        const QColor darker = readableOn(beige, white);
        QVERIFY(contrastRatio(darker, white) >= kReadableContrast);
        QVERIFY(contrastRatio(darker, white) < kReadableContrast + 0.1);
        QVERIFY(qAbs(darker.hsvHue() - beige.hsvHue()) <= 2);
        QVERIFY(qAbs(darker.hsvSaturation() - beige.hsvSaturation()) <= 3);

        RichTextView view;
        showView(view, 400, 120);
        view.styles()->setSize(6, 20);
        view.styles()->setAttributes(6, true, false, false);
        view.styles()->setColour(6, valueFromColour(beige));
        view.addTextAsParagraph(QStringLiteral("WWWW MMMM"), 6);
        view.format();
        const QRect line(0, view.paragraphTop(0), view.viewport()->width(),
                         view.paragraph(0).height);
        const QImage shot = view.viewport()->grab().toImage();
        int ink = 0;
        for (int y = line.top(); y <= line.bottom(); ++y) {
            for (int x = line.left(); x <= line.right(); ++x) {
                ink += shot.pixelColor(x, y) == darker ? 1 : 0;
                QVERIFY(shot.pixelColor(x, y) != beige);
            }
        }
        QVERIFY(ink > 50);
        QCOMPARE(view.styles()->colour(6), beige);
    }

    // A screen reader reads the log through the text interface: a line per paragraph, the
    // selection both ways, where characters are; new lines are announced as inserted text.
    void readByScreenReader() {
        RichTextView view;
        QSignalSpy added(&view, &RichTextView::textAdded);
        showView(view, 400);
        view.addTextAsParagraph(QStringLiteral("Ann: "), 6);
        view.addText(QStringLiteral("hello there "), 6);
        view.format();
        view.addTextAsParagraph(QStringLiteral("Bo: "), 7);
        view.addPicture(smileyPictures(), 0);
        view.addText(QStringLiteral(" ok"), 7);
        view.format();

        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&view);
        QVERIFY(a);
        QAccessibleTextInterface* text = a->textInterface();
        QVERIFY(text);
        QVERIFY(a->state().readOnly);
        const QString first = QStringLiteral("Ann: hello there ");
        const QString second = QStringLiteral("Bo: \uFFFC ok");
        const QString all = first + QLatin1Char('\n') + second;
        QCOMPARE(text->characterCount(), all.size());
        QCOMPARE(text->text(0, text->characterCount()), all);
        int start = 0;
        int end = 0;
        QCOMPARE(text->textAtOffset(int(first.size()) + 3, QAccessible::LineBoundary, &start, &end),
                 second);
        // What is announced is what the interface then reads at that place.
        QCOMPARE(added.size(), 2);
        QCOMPARE(added.at(0), (QVariantList{0, first}));
        QCOMPARE(added.at(1),
                 (QVariantList{int(first.size()), QString(QLatin1Char('\n') + second)}));

        view.selectAll();
        text->selection(0, &start, &end);
        QCOMPARE(std::make_pair(start, end), std::make_pair(0, int(all.size())));
        text->setSelection(0, 5, 10);
        QCOMPARE(view.selectedText(), QStringLiteral("hello"));
        const QRect h = text->characterRect(5);
        QVERIFY(!h.isEmpty());
        QCOMPARE(text->offsetAtPoint(h.topLeft() + QPoint(1, h.height() / 2)), 5);

        view.clear();
        QCOMPARE(text->characterCount(), 0);
        view.addTextAsParagraph(QStringLiteral("new"), 6);
        view.format();
        QCOMPARE(added.last(), (QVariantList{0, QStringLiteral("new")}));
    }

    void copiesSelectionAsPlainText() {
        RichTextView view;
        showView(view, 400);
        view.addTextAsParagraph(QStringLiteral("Hello "), 6);
        view.addPicture(smileyPictures(), 0);
        view.addText(QStringLiteral("world "), 6);
        view.addTextAsParagraph(QStringLiteral("second "), 0);
        view.addText(QStringLiteral("line"), 4);
        view.addTextAsParagraph(QStringLiteral("third"), 0);
        view.format();

        QApplication::clipboard()->setText(QStringLiteral("untouched"));
        view.setFocus();
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("untouched"));

        view.selectAll();
        QCOMPARE(view.selectedText(), QStringLiteral("Hello world \rsecond line\rthird"));
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("Hello world \rsecond line\rthird"));
        QApplication::clipboard()->clear();
        QTest::keyClick(&view, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("Hello world \rsecond line\rthird"));

        // Dragging from inside "Hello" to inside "second", in either direction.
        const QPoint from = pointAt(view, 0, 0, 2);
        const QPoint to = pointAt(view, 1, 0, 3);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view.viewport(), to);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, to);
        QCOMPARE(view.selectedText(), QStringLiteral("llo world \rsec"));
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, to);
        QTest::mouseMove(view.viewport(), from);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, from);
        QCOMPARE(view.selectedText(), QStringLiteral("llo world \rsec"));
        // A plain click leaves nothing selected.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, from);
        QVERIFY(!view.hasSelection());
    }

    void numbersAndReportsLinks() {
        RichTextView view;
        showView(view, 400);
        view.addTextAsParagraph(QStringLiteral("see "), 0);
        view.addText(QStringLiteral("www.a.com "), 4, QStringLiteral("A"));
        view.addText(QStringLiteral("and "), 0);
        view.addText(QStringLiteral("http://b.org "), 5, QStringLiteral("B"));
        view.addTextAsParagraph(QStringLiteral("no links here"), 0);
        view.addTextAsParagraph(QStringLiteral("www.c.net"), 4, QStringLiteral("C"));
        view.format();
        QCOMPARE(view.linkCount(), 3);
        QCOMPARE(view.linkTag(0), std::optional<QString>(QStringLiteral("A")));
        QCOMPARE(view.linkTag(1), std::optional<QString>(QStringLiteral("B")));
        QCOMPARE(view.linkTag(2), std::optional<QString>(QStringLiteral("C")));
        QVERIFY(!view.linkTag(3));
        QVERIFY(!view.linkTag(-1));

        QSignalSpy jumps(&view, &RichTextView::jump);
        for (int n = 2; n >= 0; --n) {
            const QPoint p = view.linkRect(n).center();
            QTest::mouseMove(view.viewport(), p);
            QCOMPARE(view.viewport()->cursor().shape(), Qt::PointingHandCursor);
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, p);
            QCOMPARE(jumps.size(), 1);
            QCOMPARE(jumps.takeFirst().at(0).toInt(), n);
        }
        // Plain text is not a link; a drag that starts on a link is a selection.
        const QPoint plain = pointAt(view, 1, 0, 3);
        QTest::mouseMove(view.viewport(), plain);
        QCOMPARE(view.viewport()->cursor().shape(), Qt::ArrowCursor);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, plain);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, view.linkRect(0).center());
        QTest::mouseMove(view.viewport(), plain);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, plain);
        QCOMPARE(jumps.size(), 0);

        // Numbering starts again after a clear.
        view.clear();
        view.format();
        QCOMPARE(view.itemCount(), 0);
        QCOMPARE(view.linkCount(), 0);
        view.addTextAsParagraph(QStringLiteral("www.d.org"), 4, QStringLiteral("D"));
        view.format();
        QCOMPARE(view.linkTag(0), std::optional<QString>(QStringLiteral("D")));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.linkRect(0).center());
        QCOMPARE(jumps.size(), 1);
        QCOMPARE(jumps.takeFirst().at(0).toInt(), 0);
    }
};

QTEST_MAIN(TestRichTextView)
#include "tst_richtextview.moc"
