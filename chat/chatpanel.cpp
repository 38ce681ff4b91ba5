// SPDX-License-Identifier: MIT
#include "chat/chatpanel.h"

#include "chat/actiontext.h"
#include "chat/chatedit.h"
#include "chat/weblink.h"
#include "store/colourtext.h"
#include "widgets/richtextview.h"
#include "widgets/smilies.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFontMetricsF>
#include <QFrame>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace vrako {

namespace {

const QString kSmileyMark = QStringLiteral(":)#");
constexpr int kFirstSmileyCode = 10;
// Design sizes of the entry row, at scale 1.
constexpr int kEditHeight = 21;
constexpr int kButtonWidth = 23;
constexpr qreal kEntryPoints = 9;
// Text sizes follow the scale in eighths, so a window being resized lays the log out again
// only now and then.
constexpr int kTextScaleSteps = 8;

} // namespace

ChatPanel::ChatPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ChatPanel"));
    m_smilies = smileyPictures(qApp->devicePixelRatio());

    m_flatPanel = new QFrame(this);
    m_flatPanel->setObjectName(QStringLiteral("FlatPanel1"));
    m_flatPanel->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_flatPanel->setLineWidth(1);
    QPalette framePalette = m_flatPanel->palette();
    framePalette.setColor(QPalette::WindowText, Qt::black);
    m_flatPanel->setPalette(framePalette);

    m_mainchat = new RichTextView(m_flatPanel);
    m_mainchat->setObjectName(QStringLiteral("mainchat"));
    m_mainchat->setAccessibleName(tr("Chat"));
    // Smilies in the log grow with its text, drawn afresh for each text size.
    m_mainchat->setPictureMaker(
        [](int number, qreal ratio) { return smileyPicture(number, ratio); });
    connect(m_mainchat, &RichTextView::jump, this, &ChatPanel::mainchatJump);

    m_mychat = new ChatEdit(this);
    m_mychat->setObjectName(QStringLiteral("mychat"));
    m_mychat->setAccessibleName(tr("Chat entry"));
    m_mychat->setFont(QFont(QStringLiteral("Arial"), 9));
    connect(m_mychat, &ChatEdit::enterPressed, this, &ChatPanel::sendit);
    setChatColour(colour::Black);

    m_buttonSmilies = new QToolButton(this);
    m_buttonSmilies->setObjectName(QStringLiteral("button_smilies"));
    m_buttonSmilies->setIcon(QIcon(m_smilies.at(0)));
    m_buttonSmilies->setIconSize(QSize(kSmileyWidth, kSmileyHeight));
    m_buttonSmilies->setToolTip(tr("Smilies"));
    m_buttonSmilies->setAccessibleName(tr("Smilies"));
    m_buttonSmilies->setFocusPolicy(Qt::NoFocus);
    connect(m_buttonSmilies, &QToolButton::clicked, this, &ChatPanel::openSmileyMenu);

    m_popupSmilies = new QMenu(this);
    m_popupSmilies->setObjectName(QStringLiteral("popup_smilies"));
    for (int i = 0; i < kSmileyCount; ++i) {
        const int code = kFirstSmileyCode + i;
        QAction* a =
            m_popupSmilies->addAction(QIcon(m_smilies.at(i)), kSmileyMark + QString::number(code));
        a->setData(code);
        connect(a, &QAction::triggered, this, [this, code] { insertSmiley(code); });
    }

    m_scrollChatOff = new QAction(tr("Scroll Chat Off"), this);
    m_scrollChatOff->setObjectName(QStringLiteral("ScrollChatOff1"));
    m_scrollChatOff->setCheckable(true);
    m_scrollChatOff->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addAction(m_scrollChatOff);

    m_clearMainChat = new QAction(tr("Clear Main Chat"), this);
    m_clearMainChat->setObjectName(QStringLiteral("ClearMainChat1"));
    connect(m_clearMainChat, &QAction::triggered, this, &ChatPanel::clearMainChat);

    m_popupMenu1 = new QMenu(this);
    m_popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* selectAll =
        m_popupMenu1->addAction(tr("Select All"), m_mainchat, &RichTextView::selectAll);
    selectAll->setObjectName(QStringLiteral("SelectAll1"));
    QAction* copy = m_popupMenu1->addAction(tr("Copy"), m_mainchat, &RichTextView::copy);
    copy->setObjectName(QStringLiteral("Copy1"));
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    m_popupMenu1->addAction(m_clearMainChat);
    m_popupMenu1->addAction(m_scrollChatOff);
    m_mainchat->setContextMenu(m_popupMenu1);

    m_openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    m_notify = [this](const QString& text) { QMessageBox::information(window(), QString(), text); };

    resize(kDesignSize);
    layOut();
}

ChatPanel::~ChatPanel() = default;

void ChatPanel::setScale(qreal scale) {
    if (!(scale > 0) || scale == m_scale) {
        return;
    }
    m_scale = scale;
    const qreal text = std::max<qreal>(1, std::round(scale * kTextScaleSteps) / kTextScaleSteps);
    QFont entryFont = m_mychat->font();
    entryFont.setPointSizeF(kEntryPoints * text);
    m_mychat->setFont(entryFont);
    m_mainchat->styles()->setScale(text);
    // The smiley on its button is drawn afresh at the button's size rather than stretched.
    const qreal button = std::max<qreal>(1, scale);
    m_buttonSmilies->setIcon(QIcon(smileyPicture(0, qApp->devicePixelRatio() * button)));
    m_buttonSmilies->setIconSize(QSize(kSmileyWidth, kSmileyHeight) * button);
    layOut();
    m_mainchat->format();
    if (!isScrollOff()) {
        m_mainchat->scrollToEnd();
    }
}

int ChatPanel::entryHeight() const {
    // The entry's font never shrinks below its design size, and neither does its row.
    return qRound(kEditHeight * std::max<qreal>(1, m_scale));
}

int ChatPanel::heightForLines(int lines) const {
    // As the log lays out a line: its ascent and descent rounded up.
    const QFontMetricsF metrics(m_mainchat->styles()->font(0));
    const int line = qCeil(metrics.ascent()) + qCeil(metrics.descent());
    // The log's top margin, the frame's two lines and the gap above the entry row.
    return lines * line + RichTextDocument::kTopMargin + 2 + 2 + entryHeight();
}

void ChatPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void ChatPanel::layOut() {
    // The log takes all the room the entry row leaves; at scale 1 in a panel of the design
    // size this is the 641 x 113 log above a 21-pixel entry row.
    const int w = width();
    const int editHeight = entryHeight();
    const int buttonWidth = qRound(kButtonWidth * std::max<qreal>(1, m_scale));
    const int editTop = std::max(2, height() - editHeight);
    m_flatPanel->setGeometry(0, 0, w, editTop - 2);
    m_mainchat->setGeometry(1, 1, std::max(1, w - 2), std::max(1, editTop - 4));
    m_mychat->setGeometry(0, editTop, std::max(1, w - buttonWidth - 1), editHeight);
    m_buttonSmilies->setGeometry(w - buttonWidth, editTop, buttonWidth, editHeight);
}

void ChatPanel::setChatColour(quint32 colour) {
    m_chatColour = colour;
    QPalette pal = m_mychat->palette();
    pal.setColor(QPalette::Text, colourFromValue(colour));
    m_mychat->setPalette(pal);
}

void ChatPanel::setTextSize(int points) {
    m_mainchat->styles()->setAllSizes(points);
    m_mainchat->format();
    if (!isScrollOff()) {
        m_mainchat->scrollToEnd();
    }
}

int ChatPanel::textSize() const {
    return m_mainchat->styles()->style(0).size;
}

bool ChatPanel::isScrollOff() const {
    return m_scrollChatOff->isChecked();
}

void ChatPanel::sendit() {
    if (!m_ready || !m_ready()) {
        return;
    }
    const QString typed = m_mychat->text();
    if (typed.isEmpty()) {
        return;
    }
    if (!typed.startsWith(QLatin1Char('/'))) {
        emit chatWanted(typed, m_chatColour);
    } else if (isActionLine(typed)) {
        emit actionWanted(actionText(typed), m_chatColour);
    }
    m_mychat->clear();
}

void ChatPanel::chatrecieved(const QString& text) {
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    if (bar < 0) {
        addlinetochat(text, colour::White);
        return;
    }
    const auto value = colourFromText(text.mid(bar + 1));
    addlinetochat(text.left(bar), value.value_or(colour::White));
}

void ChatPanel::addlinetochat(const QString& text, quint32 colour) {
    // The prefix comes from the server; one that is not a seat number is shown as a system line.
    const qsizetype plus = text.indexOf(QLatin1Char('+'));
    bool ok = false;
    const int prefix = plus < 0 ? 0 : text.left(plus).toInt(&ok);
    const int style = (!ok || prefix <= 0 || prefix > 9) ? 0 : prefix + 5;
    appendLine(plus < 0 ? text : text.mid(plus + 1), style, colour);
}

void ChatPanel::addSystemLine(const QString& text, quint32 colour) {
    appendLine(text, 0, colour);
}

void ChatPanel::appendLine(const QString& rest, int style, quint32 colour) {
    const qsizetype colon = rest.indexOf(QLatin1Char(':'));
    const QString name = colon < 0 ? QString() : rest.left(colon + 1);
    QString body = colon < 0 ? rest : rest.mid(colon + 1);

    TextStyles* styles = m_mainchat->styles();
    styles->setColour(style, colour);
    styles->setAttributes(style, true, false, false);
    m_mainchat->addTextAsParagraph(name + QLatin1Char(' '), style);

    qsizetype mark;
    while ((mark = body.indexOf(kSmileyMark)) >= 0) {
        const QString segment = body.left(mark);
        const QString code = body.mid(mark + kSmileyMark.size(), 2);
        body = body.mid(mark + kSmileyMark.size() + 2);
        appendWords(segment + QLatin1Char(' '), style);
        bool isNumber = false;
        int n = code.toInt(&isNumber);
        if (!isNumber || code.size() != 2 || n < kFirstSmileyCode ||
            n >= kFirstSmileyCode + kSmileyCount) {
            n = kFirstSmileyCode;
        }
        m_mainchat->addPicture(m_smilies, n - kFirstSmileyCode);
    }
    if (!body.isEmpty()) {
        appendWords(body + QLatin1Char(' '), style);
    }
    m_mainchat->format();
    if (!isScrollOff()) {
        m_mainchat->scrollToEnd();
    }
}

void ChatPanel::appendWords(const QString& text, int style) {
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype space = text.indexOf(QLatin1Char(' '), start);
        const qsizetype end = space < 0 ? text.size() : space + 1;
        const QString word = text.mid(start, end - start);
        start = end;
        if (isLinkWord(word)) {
            m_chatlinkno = m_chatlinkno >= kLinkSlots - 1 ? 1 : m_chatlinkno + 1;
            m_chatlinks[size_t(m_chatlinkno)] = word;
            // The item keeps its own address, so a click opens the right page even after the
            // log was cleared or the table wrapped round.
            m_mainchat->addText(word, 4, word);
        } else {
            m_mainchat->addText(word, style);
        }
    }
}

void ChatPanel::mainchatJump(int n) {
    QString address;
    if (const auto tag = m_mainchat->linkTag(n)) {
        address = *tag;
    } else if (n >= 0 && n < kLinkSlots) {
        address = m_chatlinks[size_t(n)];
    }
    const QUrl url = webAddressOf(address);
    if (!url.isValid()) {
        if (m_notify) {
            m_notify(tr("Cannot open Webpage"));
        }
        return;
    }
    if (m_openUrl) {
        m_openUrl(url);
    }
}

void ChatPanel::insertSmiley(int code) {
    if (m_mychat->holdsHint()) {
        m_mychat->clear();
    }
    m_mychat->appendText(kSmileyMark + QString::number(code));
    m_mychat->setFocus();
}

void ChatPanel::openSmileyMenu() {
    m_popupSmilies->popup(
        m_buttonSmilies->mapToGlobal(QPoint(m_buttonSmilies->width(), m_buttonSmilies->height())));
}

void ChatPanel::clearMainChat() {
    m_mainchat->clear();
    m_mainchat->format();
    m_mychat->setFocus();
}

} // namespace vrako
