// SPDX-License-Identifier: MIT
#pragma once

#include "widgets/richtextdocument.h"
#include "widgets/textstyles.h"

#include <QAbstractScrollArea>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>
#include <optional>

namespace vrako {

// A read-only scrolling view of paragraphs of styled text, pictures and links that lays out
// and paints only what changed or what is visible, with mouse selection and copying.
class RichTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kMargin = 5; // left and right

    explicit RichTextView(QWidget* parent = nullptr);
    ~RichTextView() override;

    TextStyles* styles() const { return m_styles; }

    // Building the content. Nothing moves on screen until format().
    void addTextAsParagraph(const QString& text, int style, const QString& tag = {});
    void addText(const QString& text, int style, const QString& tag = {});
    void addPicture(const QList<QPixmap>& imageList, int number);
    // Pictures are shown at the text's scale (TextStyles::setScale). With a maker, which draws
    // picture `number` of the image list at a device pixel ratio, they are drawn afresh for
    // each scale rather than stretched.
    void setPictureMaker(std::function<QPixmap(int number, qreal ratio)> make) {
        m_makePicture = std::move(make);
        m_scaledPictures.clear();
    }
    void clear();
    // Lays out what changed since the last layout and repaints.
    void format();

    int itemCount() const { return m_doc.itemCount(); }
    int documentHeight();
    // A position at or beyond the end shows the last line.
    void scrollTo(int y);
    void scrollToEnd();

    void selectAll();
    void deselect();
    bool hasSelection() const;
    // The selected text items in order, "\r" before each new paragraph, pictures left out.
    QString selectedText() const;
    void copy() const;

    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }

    // Read-only inspection of the content and its current layout.
    int paragraphCount() const { return m_doc.paragraphCount(); }
    const RichParagraph& paragraph(int index);
    // Top of a laid-out paragraph in document coordinates (scrolling not applied).
    int paragraphTop(int index);
    int linkCount();
    // The tag of the link that the current layout numbers n.
    std::optional<QString> linkTag(int n);
    // The link under a point of the viewport, or -1.
    int linkAt(const QPoint& viewportPos);
    // Where link n's first piece is drawn, in viewport coordinates; empty when not laid out.
    QRect linkRect(int n);

    // The content as plain text, as a screen reader reads it: a line per paragraph, "\n"
    // between them, each picture as U+FFFC (an embedded object).
    QString plainText() const;
    int plainTextLength() const { return m_textLength; }
    // The selection as offsets into plainText(); equal when nothing is selected.
    std::pair<int, int> selectionOffsets() const;
    void selectOffsets(int start, int end);
    // Where the character at an offset of plainText() is drawn, in viewport coordinates.
    QRect characterRect(int offset);
    // The offset of plainText() nearest to a point of the viewport; -1 when the view is empty.
    int offsetAt(const QPoint& viewportPos);
    // Scrolls the paragraph that holds the offset into view.
    void scrollToOffset(int offset);

signals:
    // A single click on link n.
    void jump(int n);
    // Text of plainText() that format() showed for the first time, starting at `position`;
    // assistive technology is told the same.
    void textAdded(int position, const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Pos {
        int para = 0;
        int item = 0;
        int offset = 0;
        auto operator<=>(const Pos&) const = default;
    };
    struct Hit {
        int para = -1;
        int line = -1;
        int run = -1; // the run exactly under the point, or -1
    };

    void ensureLayout();
    bool isAtEnd() const;
    // Lays out what the view shows. At the end of the log, where it nearly always is, that is
    // only the last paragraphs, so that a log as long as a whole evening is not laid out again
    // at every step of a window being resized (and the text growing with it); the paragraphs
    // above follow once the size has settled, or as soon as anything needs them. With
    // `followEnd` a view at the end stays there as the end moves.
    void layOutSeen(bool followEnd);
    // Everything on the view is to be drawn again.
    void repaintText();
    // Draws the document as seen from a scroll position, on the whole viewport.
    void drawPage(QPainter& painter, int scroll);
    // An item's picture as drawn at the present scale.
    QPixmap scaledPicture(const RichItem& item);
    void updateScrollBar();
    Hit hitAt(const QPoint& viewportPos);
    Pos positionAt(const QPoint& viewportPos);
    std::pair<int, int> selectedRange(int para, int item, int length) const;
    qreal advance(const RichItem& item, int from, int length);
    // Conversions between positions and offsets into plainText().
    Pos positionOf(int offset) const;
    int offsetOf(const Pos& pos) const;
    QString plainTextFrom(int offset) const;
    // Tells a screen reader (and textAdded) about the text added since the last format().
    void announceNewText();

    TextStyles* m_styles;
    RichTextDocument m_doc;

    Pos m_anchor;
    Pos m_cursor;
    bool m_selecting = false;
    QPoint m_pressPoint;
    int m_pressLink = -1;
    QPointer<QMenu> m_contextMenu;
    int m_textLength = 0; // of plainText()
    int m_announced = 0;  // how much of it has been announced
    // The viewport as last drawn, and what it was drawn for.
    struct Drawn {
        int scroll = -1;
        QSize size;
        qreal ratio = 0;
        qint64 palette = 0;
        bool operator==(const Drawn&) const = default;
    };
    QPixmap m_page;
    Drawn m_drawn;
    static constexpr int kLayOutRestMs = 120;
    QTimer m_layOutRest;
    std::function<QPixmap(int, qreal)> m_makePicture;
    std::map<int, QPixmap> m_scaledPictures; // by number, at the present scale
};

} // namespace vrako
