// SPDX-License-Identifier: MIT
#include "widgets/richtextview.h"

#include "widgets/cachedpanelstyle.h"
#include "widgets/contrast.h"
#include "widgets/richtextaccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

namespace vrako {

RichTextView::RichTextView(QWidget* parent)
    : QAbstractScrollArea(parent), m_styles(new TextStyles(this)), m_doc(m_styles) {
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    // paintEvent() fills what it paints, so what lies behind the log is never painted.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::ArrowCursor);
    connect(m_styles, &TextStyles::fontChanged, this, [this](int style) {
        m_doc.fontChanged(style);
        repaintText();
    });
    connect(m_styles, &TextStyles::colourChanged, this, &RichTextView::repaintText);
    connect(m_styles, &TextStyles::scaleChanged, this, [this] {
        m_doc.picturesResized();
        m_scaledPictures.clear();
        repaintText();
    });
    installRichTextAccessible();
    // The scroll bar grows with the log: drawn once per state, not at every paint.
    verticalScrollBar()->setStyle(new CachedPanelStyle(this));
    m_layOutRest.setSingleShot(true);
    m_layOutRest.setInterval(kLayOutRestMs);
    connect(&m_layOutRest, &QTimer::timeout, this, [this] {
        const bool atEnd = isAtEnd();
        ensureLayout();
        if (atEnd) {
            verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        }
    });
}

RichTextView::~RichTextView() = default;

// ---- content ----

void RichTextView::addTextAsParagraph(const QString& text, int style, const QString& tag) {
    if (!m_doc.isEmpty()) {
        ++m_textLength; // the line break before the new paragraph
    }
    m_textLength += int(text.size());
    m_doc.append(
        RichItem{RichItem::Kind::Text, TextStyles::isValid(style) ? style : 0, text, {}, -1, tag},
        true);
}

void RichTextView::addText(const QString& text, int style, const QString& tag) {
    m_textLength += int(text.size());
    m_doc.append(
        RichItem{RichItem::Kind::Text, TextStyles::isValid(style) ? style : 0, text, {}, -1, tag},
        false);
}

void RichTextView::addPicture(const QList<QPixmap>& imageList, int number) {
    if (number < 0 || number >= imageList.size()) {
        return;
    }
    RichItem item;
    item.kind = RichItem::Kind::Picture;
    item.picture = imageList.at(number);
    item.pictureNo = number;
    m_textLength += item.length();
    m_doc.append(std::move(item), false);
}

void RichTextView::clear() {
    if (QAccessible::isActive() && m_announced > 0) {
        QAccessibleTextRemoveEvent removed(this, 0, plainText().left(m_announced));
        QAccessible::updateAccessibility(&removed);
    }
    m_textLength = 0;
    m_announced = 0;
    m_doc.clear();
    m_anchor = m_cursor = Pos{};
    m_selecting = false;
    m_pressLink = -1;
    // An empty log has nothing to scroll through.
    updateScrollBar();
    verticalScrollBar()->setValue(0);
}

void RichTextView::format() {
    layOutSeen(false);
    repaintText();
    announceNewText();
}

// ---- layout and scrolling ----

void RichTextView::ensureLayout() {
    if (m_doc.layout(std::max(1, viewport()->width() - 2 * kMargin))) {
        updateScrollBar();
        m_drawn = {};
    }
}

bool RichTextView::isAtEnd() const {
    const QScrollBar* bar = verticalScrollBar();
    return bar->value() >= bar->maximum();
}

void RichTextView::layOutSeen(bool followEnd) {
    if (!isAtEnd()) {
        ensureLayout();
        return;
    }
    if (m_doc.layoutEnd(std::max(1, viewport()->width() - 2 * kMargin), viewport()->height())) {
        updateScrollBar();
        m_drawn = {};
    }
    QScrollBar* bar = verticalScrollBar();
    if (followEnd) {
        bar->setValue(bar->maximum());
    } else if (bar->value() < bar->maximum()) {
        // The end grew below a view held in place: it shows more than the last paragraphs.
        ensureLayout();
        return;
    }
    if (m_doc.isPartlyLaidOut()) {
        m_layOutRest.start();
    }
}

void RichTextView::repaintText() {
    m_drawn = {};
    viewport()->update();
}

int RichTextView::documentHeight() {
    ensureLayout();
    return m_doc.height();
}

void RichTextView::updateScrollBar() {
    const int page = viewport()->height();
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, m_doc.height() - page));
    bar->setPageStep(std::max(1, page));
    bar->setSingleStep(16);
}

void RichTextView::scrollTo(int y) {
    ensureLayout();
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(std::clamp(y, bar->minimum(), bar->maximum()));
}

void RichTextView::scrollToEnd() {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
    layOutSeen(true);
}

void RichTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    layOutSeen(true);
}

const RichParagraph& RichTextView::paragraph(int index) {
    ensureLayout();
    return m_doc.paragraph(index);
}

int RichTextView::paragraphTop(int index) {
    ensureLayout();
    return m_doc.top(index);
}

// ---- links ----

int RichTextView::linkCount() {
    ensureLayout();
    return m_doc.linkCount();
}

std::optional<QString> RichTextView::linkTag(int n) {
    ensureLayout();
    const auto at = m_doc.findLink(n);
    if (!at) {
        return std::nullopt;
    }
    return m_doc.paragraph(at->first).items.at(at->second).tag;
}

int RichTextView::linkAt(const QPoint& viewportPos) {
    const Hit hit = hitAt(viewportPos);
    if (hit.run < 0) {
        return -1;
    }
    const RichParagraph& p = m_doc.paragraph(hit.para);
    const RichRun& run = p.lines.at(hit.line).runs.at(hit.run);
    const RichItem& item = p.items.at(run.item);
    if (item.isPicture() || !TextStyles::isLinkStyle(item.style)) {
        return -1;
    }
    return m_doc.linkNumberOf(hit.para, run.item);
}

QRect RichTextView::linkRect(int n) {
    ensureLayout();
    const auto at = m_doc.findLink(n);
    if (!at) {
        return {};
    }
    const RichParagraph& p = m_doc.paragraph(at->first);
    const int y0 = m_doc.top(at->first) - verticalScrollBar()->value();
    for (const RichLine& line : p.lines) {
        for (const RichRun& run : line.runs) {
            if (run.item == at->second) {
                return QRectF(kMargin + run.x, y0 + line.top, run.width, line.height)
                    .toAlignedRect();
            }
        }
    }
    return {};
}

// ---- hit testing and selection ----

RichTextView::Hit RichTextView::hitAt(const QPoint& viewportPos) {
    ensureLayout();
    Hit hit;
    if (m_doc.isEmpty()) {
        return hit;
    }
    const int y = viewportPos.y() + verticalScrollBar()->value();
    const qreal x = viewportPos.x() - kMargin;
    hit.para = m_doc.paragraphAt(y);
    const RichParagraph& p = m_doc.paragraph(hit.para);
    const int yIn = y - m_doc.top(hit.para);
    hit.line = int(p.lines.size()) - 1;
    for (int l = 0; l < p.lines.size(); ++l) {
        if (yIn < p.lines.at(l).top + p.lines.at(l).height) {
            hit.line = l;
            break;
        }
    }
    const RichLine& line = p.lines.at(hit.line);
    if (yIn < line.top || yIn >= line.top + line.height) {
        return hit;
    }
    for (int r = 0; r < line.runs.size(); ++r) {
        const RichRun& run = line.runs.at(r);
        if (x >= run.x && x < run.x + run.width) {
            hit.run = r;
            break;
        }
    }
    return hit;
}

qreal RichTextView::advance(const RichItem& item, int from, int length) {
    if (item.isPicture()) {
        return length > 0 ? m_doc.layouter().pictureSize(item).width() : 0;
    }
    return m_doc.layouter().metrics(item.style).horizontalAdvance(item.text.mid(from, length));
}

RichTextView::Pos RichTextView::positionAt(const QPoint& viewportPos) {
    const Hit hit = hitAt(viewportPos);
    if (hit.para < 0) {
        return {};
    }
    const int y = viewportPos.y() + verticalScrollBar()->value();
    const RichParagraph& p = m_doc.paragraph(hit.para);
    if (y < m_doc.top(0)) {
        return Pos{0, 0, 0};
    }
    const RichLine& line = p.lines.at(hit.line);
    if (line.runs.isEmpty()) {
        return Pos{hit.para, 0, 0};
    }
    const qreal x = viewportPos.x() - kMargin;
    const RichRun* run = &line.runs.first();
    if (x >= run->x) {
        run = &line.runs.last();
        for (const RichRun& r : line.runs) {
            if (x < r.x + r.width) {
                run = &r;
                break;
            }
        }
    }
    const RichItem& item = p.items.at(run->item);
    int offset = run->from;
    if (x >= run->x + run->width) {
        offset = run->from + run->length;
    } else if (x > run->x) {
        // The character boundary nearest to x.
        qreal prev = 0;
        for (int k = 1; k <= run->length; ++k) {
            const qreal w = advance(item, run->from, k);
            if (run->x + w >= x) {
                offset = run->from + ((x - run->x - prev) < (w - prev) / 2 ? k - 1 : k);
                break;
            }
            prev = w;
        }
    }
    return Pos{hit.para, run->item, offset};
}

std::pair<int, int> RichTextView::selectedRange(int para, int item, int length) const {
    if (!hasSelection()) {
        return {0, 0};
    }
    const Pos s = std::min(m_anchor, m_cursor);
    const Pos e = std::max(m_anchor, m_cursor);
    const Pos begin{para, item, 0};
    const Pos end{para, item, length};
    if (end <= s || e <= begin) {
        return {0, 0};
    }
    const int a = s > begin ? s.offset : 0;
    const int b = e < end ? e.offset : length;
    return {std::clamp(a, 0, length), std::clamp(b, 0, length)};
}

bool RichTextView::hasSelection() const {
    return m_anchor != m_cursor && !m_doc.isEmpty();
}

void RichTextView::selectAll() {
    if (m_doc.isEmpty()) {
        return;
    }
    m_anchor = Pos{0, 0, 0};
    const int lastPara = m_doc.paragraphCount() - 1;
    const RichParagraph& last = m_doc.paragraph(lastPara);
    const int item = std::max(0, int(last.items.size()) - 1);
    m_cursor = Pos{lastPara, item, last.items.isEmpty() ? 0 : last.items.at(item).length()};
    repaintText();
}

void RichTextView::deselect() {
    m_anchor = m_cursor;
    repaintText();
}

QString RichTextView::selectedText() const {
    QString out;
    if (!hasSelection()) {
        return out;
    }
    const Pos s = std::min(m_anchor, m_cursor);
    const Pos e = std::max(m_anchor, m_cursor);
    const int last = std::min(e.para, m_doc.paragraphCount() - 1);
    for (int p = s.para; p <= last; ++p) {
        if (p > s.para) {
            out += QLatin1Char('\r');
        }
        const RichParagraph& para = m_doc.paragraph(p);
        for (int i = 0; i < para.items.size(); ++i) {
            const RichItem& item = para.items.at(i);
            if (item.isPicture()) {
                continue;
            }
            const auto [a, b] = selectedRange(p, i, item.length());
            out += item.text.mid(a, b - a);
        }
    }
    return out;
}

void RichTextView::copy() const {
    // A selection between two positions with no text between them leaves the clipboard alone.
    const QString text = selectedText();
    if (!text.isEmpty()) {
        QApplication::clipboard()->setText(text);
    }
}

// ---- events ----

void RichTextView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    m_anchor = m_cursor = positionAt(pos);
    m_pressPoint = pos;
    m_pressLink = linkAt(pos);
    m_selecting = true;
    repaintText();
}

void RichTextView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_selecting && (event->buttons() & Qt::LeftButton)) {
        if ((pos - m_pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
            m_pressLink = -1;
        }
        // Dragging past the top or bottom edge scrolls the view along.
        QScrollBar* bar = verticalScrollBar();
        if (pos.y() < 0) {
            bar->setValue(bar->value() + pos.y());
        } else if (pos.y() > viewport()->height()) {
            bar->setValue(bar->value() + pos.y() - viewport()->height());
        }
        m_cursor = positionAt(pos);
        repaintText();
    }
    viewport()->setCursor(linkAt(pos) >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void RichTextView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_selecting) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_selecting = false;
    const int link = m_pressLink;
    m_pressLink = -1;
    if (link >= 0 && linkAt(event->position().toPoint()) == link) {
        m_anchor = m_cursor;
        repaintText();
        emit jump(link);
    }
}

void RichTextView::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() == Qt::ControlModifier;
    if (event->matches(QKeySequence::Copy) ||
        (ctrl && (event->key() == Qt::Key_C || event->key() == Qt::Key_Insert))) {
        copy();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void RichTextView::contextMenuEvent(QContextMenuEvent* event) {
    if (m_contextMenu) {
        m_contextMenu->popup(event->globalPos());
        event->accept();
    }
}

void RichTextView::scrollContentsBy(int, int) {
    repaintText();
}

} // namespace vrako
