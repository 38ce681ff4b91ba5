// SPDX-License-Identifier: MIT
#include "board/boardview.h"

#include "board/boardgeometry.h"
#include "board/clicklabel.h"
#include "board/keyboardmark.h"
#include "widgets/artpaint.h"
#include "widgets/cardart.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>
#include <QTextDocument>
#include <cmath>

namespace vrako {
namespace {

QString cardTitle(int code) {
    return QString::fromStdString(cardName(code));
}

// Shows text that may come from other players: cut with an ellipsis when the label is too
// narrow, and then shown whole in the tooltip.
void setElidedText(QLabel* label, const QString& text) {
    const int room = label->contentsRect().width();
    const QString shown = label->fontMetrics().elidedText(text, Qt::ElideRight, room);
    label->setText(shown);
    // Tooltips take markup when the text looks like it: give them the text escaped.
    label->setToolTip(shown == text ? QString() : Qt::convertFromPlainText(text));
}

// The felt as one opaque picture of four by four tiles. It is the table's largest area: an
// opaque picture is copied rather than blended, in few large pieces. The felt is a texture,
// not a picture of the table, so it keeps the screen's resolution at every scale.
QPixmap feltPattern(qreal dpr) {
    const QPixmap tile = art::backgroundTile(dpr);
    if (tile.isNull())
        return {};
    QImage pattern(tile.size() * 4, QImage::Format_RGB32);
    pattern.setDevicePixelRatio(tile.devicePixelRatio());
    QPainter p(&pattern);
    p.drawTiledPixmap(QRectF(QPointF(), pattern.deviceIndependentSize()), tile);
    p.end();
    return QPixmap::fromImage(std::move(pattern));
}

} // namespace

BoardView::BoardView(ClientGame* game, QWidget* parent) : QWidget(parent), m_game(game) {
    setObjectName(QStringLiteral("panel_board"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(minimumSizeHint());
    resize(kSize);
    // A click plays or draws but never takes the keyboard from the chat entry, or the next
    // line typed would draw a card for every "d". The owner gives the table the keyboard.
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Card table"));
    // Every pixel is felt or something on it: nothing behind the table needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_dpr = devicePixelRatioF();
    m_tile = feltPattern(m_dpr);
    buildSeats();
    buildTable();
    buildChooser();
    buildPopup();
    m_winnerTimer.setInterval(art::kWinnerFrameMs);
    connect(&m_winnerTimer, &QTimer::timeout, this, [this] {
        m_winnerFrame ^= 1;
        const QPixmap frame =
            picture([this](qreal r) { return art::winnerFrame(m_winnerFrame, r); });
        for (int s = 1; s <= seating::kSeats; ++s)
            if (m_winner[s]->isVisible())
                m_winner[s]->setPixmap(frame);
    });
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, [this] {
        drawPictures();
        stretchPictures(false);
        sync();
    });
    connect(game, &ClientGame::changed, this, &BoardView::sync);
    layOut();
}

template <typename Make> QPixmap BoardView::picture(Make make) const {
    QPixmap pix = make(artRatio());
    pix.setDevicePixelRatio(m_dpr);
    return pix;
}

void BoardView::place(QWidget* widget, QRect design, int pixelSize, bool inChooser) {
    m_placed.push_back(Placed{widget, design, pixelSize, inChooser});
}

void BoardView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void BoardView::layOut() {
    const qreal s = scaleFor(size());
    // The table is centred across the widget and keeps to its top; the room below it is the
    // owner's (the chat).
    m_map = board::TableScale(s, QPoint(std::max(0, (width() - qRound(kSize.width() * s)) / 2), 0));
    for (const Placed& p : m_placed) {
        if (p.pixelSize > 0) {
            QFont f = p.widget->font();
            f.setPixelSize(std::max(1, scaled(p.pixelSize)));
            p.widget->setFont(f);
        }
        if (p.design.isNull())
            continue;
        p.widget->setGeometry(p.inChooser ? scaled(p.design).translated(-m_map.origin())
                                          : scaled(p.design));
    }
    m_focusMark->setScale(scale());
    if (scale() != m_pictureScale) {
        if (isVisible() && m_pictureScale > 0) {
            // A window edge being dragged resizes the table many times a second: the
            // pictures of the last scale are shown stretched, and drawn for the new scale once
            // the size has settled.
            stretchPictures(true);
            m_settle.start();
        } else {
            drawPictures();
        }
    }
    sync();
    emit laidOut();
}

void BoardView::stretchPictures(bool on) {
    for (const Placed& p : m_placed)
        if (auto* label = qobject_cast<QLabel*>(p.widget))
            label->setScaledContents(on);
    for (auto& [id, pic] : m_cards)
        pic->setScaledContents(on);
}

void BoardView::drawPictures() {
    m_pictureScale = scale();
    m_draw->setPixmap(picture([](qreal r) { return art::cardBack(r); }));
    for (int i = 0; i < 4; ++i) {
        m_bars[i]->setPixmap(
            picture([i](qreal r) { return art::colourBar(i, art::kTableBarSize, r); }));
        m_chooserBars[i]->setPixmap(
            picture([i](qreal r) { return art::colourBar(i, art::kChooserBarSize, r); }));
    }
    m_arrowLeft->setPixmap(picture([](qreal r) { return art::arrow(false, r); }));
    m_arrowRight->setPixmap(picture([](qreal r) { return art::arrow(true, r); }));
    m_start->setPixmap(picture([](qreal r) { return art::startButton(r); }));
    const QPixmap eyes = picture([](qreal r) { return art::eyes(r); });
    const QPixmap winner = picture([this](qreal r) { return art::winnerFrame(m_winnerFrame, r); });
    for (int s = 1; s <= 4; ++s) {
        m_watch[s]->setPixmap(eyes);
        m_winner[s]->setPixmap(winner);
        m_fanDrawn[s] = -1;
        paintFan(s);
    }
    for (auto& [id, pic] : m_cards)
        if (const HandCard* c = m_game->card(id))
            pic->setPixmap(face(c->code));
    // The faces on the table are drawn again by the next sync.
    m_shownTop = -2;
    m_shownOther = -2;
}

void BoardView::label_name2ContextPopup(int seat) {
    const bool on = m_game->seatPopupEnabled(seat);
    // The host removing its own seat would end the game for everybody.
    m_remove->setEnabled(on && seat != m_game->myseat());
    m_setWatch->setEnabled(on);
    m_unsetWatch->setEnabled(on);
    m_popupSeat = seat;
}

QPixmap BoardView::face(int code) const {
    return picture([code](qreal r) { return art::cardFace(code, r); });
}

ClickLabel* BoardView::cardPicture(int id) const {
    const auto it = m_cards.find(id);
    return it == m_cards.end() ? nullptr : it->second;
}

void BoardView::sync() {
    syncSeats();
    syncTable();
    syncHand();
}

void BoardView::syncSeats() {
    bool anyWinner = false;
    for (int s = 1; s <= seating::kSeats; ++s) {
        const SeatView& v = m_game->seat(s);
        const board::SeatGeometry& g = board::seatGeometry(m_game->positionOf(s));
        m_name[s]->setGeometry(scaled(QRect(g.name, g.nameSize)));
        m_score[s]->setGeometry(scaled(QRect(g.score, board::kScoreSize)));
        for (QLabel* l : {m_name[s], m_score[s]}) {
            QFont f = l->font();
            f.setBold(v.highlighted);
            l->setFont(f);
            setLabelColour(l, v.highlighted ? board::kLabelYellow : board::kSilver);
        }
        // The eyes sit at the start of the name label; its text moves over to make room.
        m_name[s]->setContentsMargins(v.watching ? scaled(board::kEyesIndent) : 0, 0, 0, 0);
        setElidedText(m_name[s], v.name);
        m_score[s]->setText(v.score);
        const QPoint eyes(1, (g.nameSize.height() - art::kEyesSize.height()) / 2);
        m_watch[s]->setGeometry(scaled(QRect(g.name + eyes, art::kEyesSize)));
        m_watch[s]->setVisible(v.watching);
        m_watch[s]->raise();
        m_winner[s]->setGeometry(scaled(QRect(g.winner, art::kWinnerSize)));
        m_winner[s]->setVisible(v.winnerShown);
        anyWinner = anyWinner || v.winnerShown;
        paintFan(s);
        if (m_fanDrawn[s] > 0)
            m_fan[s]->setGeometry(scaled(QRect(g.fan, fanSize(s))));
        const QString who = v.name.isEmpty() ? QStringLiteral("Seat %1").arg(s) : v.name;
        // The local seat has no fan: its cards are the hand.
        const qsizetype cards = s == m_game->myseat() ? m_game->handIds().size() : v.fanCount;
        m_fan[s]->setAccessibleName(QStringLiteral("%1: %2 cards").arg(who).arg(cards));
    }
    if (anyWinner && !m_winnerTimer.isActive())
        m_winnerTimer.start();
    else if (!anyWinner)
        m_winnerTimer.stop();
}

void BoardView::paintFan(int seat) {
    const int n = m_game->seat(seat).fanCount;
    const bool horizontal = m_game->fanIsHorizontal(seat);
    if (n == m_fanDrawn[seat] && horizontal == m_fanHorizontal[seat])
        return;
    m_fanDrawn[seat] = n;
    m_fanHorizontal[seat] = horizontal;
    QLabel* fan = m_fan[seat];
    if (n <= 0) {
        fan->clear();
        fan->resize(0, 0);
        fan->hide();
        return;
    }
    // Drawn in design units on a pixmap of the scaled table's resolution.
    const QSize size = fanSize(seat);
    const qreal ratio = art::paint::effectiveDpr(artRatio());
    QPixmap pix(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio)));
    pix.setDevicePixelRatio(ratio);
    pix.fill(Qt::transparent);
    const QPixmap back = art::cardBack(ratio);
    QPainter p(&pix);
    art::paint::scaleToDevice(p);
    for (int i = 0; i < n; ++i)
        p.drawPixmap(horizontal ? QPoint(board::kFanStep * i, 0) : QPoint(0, board::kFanStep * i),
                     back);
    p.end();
    pix.setDevicePixelRatio(m_dpr);
    fan->setPixmap(pix);
    fan->show();
}

QSize BoardView::fanSize(int seat) const {
    return board::fanSize(m_fanDrawn[seat], m_fanHorizontal[seat]);
}

void BoardView::syncTable() {
    if (m_game->topCard() != m_shownTop) {
        m_shownTop = m_game->topCard();
        if (m_shownTop < 0) {
            m_topcard->clear();
            m_topcard->setAccessibleName(QString());
        } else {
            m_topcard->setPixmap(face(m_shownTop));
            m_topcard->setAccessibleName(QStringLiteral("Top card: ") + cardTitle(m_shownTop));
        }
    }
    if (m_game->otherCard() != m_shownOther) {
        m_shownOther = m_game->otherCard();
        if (m_shownOther >= 0) {
            m_other->setPixmap(face(m_shownOther));
            m_other->setAccessibleName(cardTitle(m_shownOther));
        } else {
            m_other->clear();
        }
    }
    m_other->setVisible(m_shownOther >= 0);
    m_drawLabel->setVisible(m_game->drawLabelShown());
    m_bars[m_game->colourInFront()]->raise();
    setElidedText(m_status, m_game->statusText());
    setElidedText(m_turn, m_game->turnText());
    m_waiting->setVisible(m_game->waitingShown());
    m_playto->setText(m_game->playToScoreText());
    m_gametype->setText(m_game->gameTypeText());
    m_arrowLeft->setVisible(m_game->arrowLeftShown());
    m_arrowRight->setVisible(m_game->arrowRightShown());
    m_start->setVisible(m_game->startButtonShown());
    m_chooser->setVisible(m_game->colourChooserShown());
    if (m_chooser->isVisible())
        m_chooser->raise();
}

void BoardView::syncHand() {
    const QList<int> ids = m_game->handIds();
    for (auto it = m_cards.begin(); it != m_cards.end();) {
        if (!ids.contains(it->first)) {
            delete it->second;
            it = m_cards.erase(it);
        } else {
            ++it;
        }
    }
    for (int place = 0; place < ids.size(); ++place) {
        const int id = ids[place];
        const HandCard* c = m_game->card(id);
        ClickLabel*& pic = m_cards[id];
        if (!pic) {
            pic = makePicture(QByteArray("card" + QByteArray::number(id)).constData(), {});
            pic->setCursor(Qt::PointingHandCursor);
            connect(pic, &ClickLabel::pressed, m_game, [this, id](Qt::MouseButton b) {
                if (b == Qt::LeftButton || b == Qt::RightButton)
                    m_game->movingimagesMouseDown(id, b == Qt::RightButton);
            });
            pic->show();
        }
        if (pic->property("code").toInt() != c->code || pic->pixmap().isNull()) {
            pic->setProperty("code", c->code);
            pic->setPixmap(face(c->code));
            pic->setAccessibleName(cardTitle(c->code));
        }
        pic->setToolTip(QString::number(place + 1));
        pic->setProperty("place", place + 1);
        pic->setGeometry(scaled(board::handCardRect(place, c->raised)));
        pic->raise();
    }
    if (m_selected >= ids.size())
        m_selected = ids.isEmpty() ? -1 : int(ids.size()) - 1;
    if (m_selected >= 0 && hasFocus()) {
        // Framed is the part of the card that shows: the next card covers the rest.
        QRect r = m_cards[ids[m_selected]]->geometry();
        if (m_selected + 1 < ids.size())
            r.setRight(m_cards[ids[m_selected + 1]]->x() - 1);
        const int d = scaled(3);
        m_focusMark->setGeometry(r.adjusted(-d, -d, d, d));
        m_focusMark->show();
        m_focusMark->raise();
    } else if (hasFocus()) {
        // No card chosen yet: the frame runs round the table, so the player still sees that
        // the keys go to it.
        m_focusMark->setGeometry(rect());
        m_focusMark->show();
        m_focusMark->raise();
    } else {
        m_focusMark->hide();
    }
    if (m_chooser->isVisible())
        m_chooser->raise();
}

void BoardView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    // The region, not its bounding rectangle: the opaque widgets on the table (the chat below
    // it) are cut out of it, and the felt under them would only be painted over.
    for (const QRect& r : event->region()) {
        if (m_tile.isNull())
            p.fillRect(r, QColor(art::kBoardColour));
        else
            p.drawTiledPixmap(r, m_tile, r.topLeft());
    }
}

} // namespace vrako
