// SPDX-License-Identifier: MIT
#include "board/boardview.h"

#include "board/clicklabel.h"
#include "widgets/artpaint.h"
#include "widgets/cardart.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>
#include <QTextDocument>
#include <cmath>

namespace vrako {
namespace {

struct SeatGeometry {
    QPoint name;
    QSize nameSize;
    QPoint score;
    QPoint winner;
    QPoint fan;
};

// Indexed by SeatPosition: bottom, left, top, right.
const SeatGeometry kSeatGeometry[seating::kSeats] = {
    {{108, 233}, {119, 19}, {83, 233}, {120, 256}, {108, 257}},
    {{28, 36}, {117, 19}, {3, 36}, {28, 64}, {28, 56}},
    {{204, 6}, {120, 19}, {179, 6}, {208, 32}, {204, 26}},
    {{507, 58}, {117, 20}, {483, 58}, {510, 88}, {507, 80}},
};

const QColor kLabelYellow(242, 250, 143);
const QColor kSilver(192, 192, 192);
constexpr QSize kScoreSize(18, 19);
// How far each card back of a seat's fan is shifted from the one before.
constexpr int kFanStep = 10;

QString colourTitleAt(int colourIndex) {
    return QString::fromLatin1(colourTitle(colourCodeAt(colourIndex)));
}

QString cardTitle(int code) {
    return QString::fromStdString(cardName(code));
}

void setLabelColour(QLabel* label, const QColor& colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
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

// The frame round the card the keyboard has chosen: gold with a dark outer line, so it stands
// out on the felt and on light card faces alike. Clicks pass through it to the card.
class KeyboardMark : public QWidget {
public:
    explicit KeyboardMark(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void setScale(qreal scale) {
        m_scale = scale;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::NoBrush);
        const qreal s = m_scale;
        p.setPen(QPen(QColor(20, 20, 20), s));
        p.drawRoundedRect(QRectF(rect()).adjusted(s / 2, s / 2, -s / 2, -s / 2), 5 * s, 5 * s);
        p.setPen(QPen(QColor(255, 215, 0), 2 * s));
        p.drawRoundedRect(QRectF(rect()).adjusted(2 * s, 2 * s, -2 * s, -2 * s), 4 * s, 4 * s);
    }

private:
    qreal m_scale = 1;
};

// Room kept at the left of a name label for the watching eyes.
constexpr int kEyesIndent = 26;

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

qreal BoardView::scaleFor(QSize size) {
    const qreal fit =
        std::min(qreal(size.width()) / kSize.width(), qreal(size.height()) / kSize.height());
    // The small allowance keeps exact fits (a 392-pixel-wide board at 0.6) from rounding down.
    const qreal stepped = std::floor(fit * kScaleSteps + 1e-6) / kScaleSteps;
    return std::max(kMinimumScale, stepped);
}

int BoardView::scaled(int designLength) const {
    return qRound(designLength * m_scale);
}

QPoint BoardView::scaled(QPoint design) const {
    return m_origin + QPoint(scaled(design.x()), scaled(design.y()));
}

QRect BoardView::scaled(const QRect& design) const {
    // Sizes are rounded up, as the pictures' sizes are: a picture never loses its last column.
    const auto up = [this](int length) { return int(std::ceil(length * m_scale - 1e-6)); };
    return QRect(scaled(design.topLeft()), QSize(up(design.width()), up(design.height())));
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
    m_scale = scaleFor(size());
    // The table is centred across the widget and keeps to its top; the room below it is the
    // owner's (the chat).
    m_origin = QPoint(std::max(0, (width() - scaled(kSize.width())) / 2), 0);
    for (const Placed& p : m_placed) {
        if (p.pixelSize > 0) {
            QFont f = p.widget->font();
            f.setPixelSize(std::max(1, scaled(p.pixelSize)));
            p.widget->setFont(f);
        }
        if (p.design.isNull())
            continue;
        p.widget->setGeometry(p.inChooser ? scaled(p.design).translated(-m_origin)
                                          : scaled(p.design));
    }
    static_cast<KeyboardMark*>(m_focusMark)->setScale(m_scale);
    if (m_scale != m_pictureScale) {
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
    m_pictureScale = m_scale;
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

QLabel* BoardView::makeLabel(const char* name, QRect geometry, int pixelSize, bool bold) {
    auto* label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    place(label, geometry, pixelSize);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    setLabelColour(label, kLabelYellow);
    label->setAttribute(Qt::WA_TranslucentBackground);
    // Names and the lines built from them come from other players: never markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

ClickLabel* BoardView::makePicture(const char* name, QRect geometry) {
    auto* label = new ClickLabel(this);
    label->setObjectName(QLatin1String(name));
    // Hand cards come and go and are placed by the sync code: only fixed pictures are kept.
    if (!geometry.isNull())
        place(label, geometry);
    return label;
}

void BoardView::buildSeats() {
    for (int s = 1; s <= seating::kSeats; ++s) {
        const QByteArray n = QByteArray::number(s);
        m_fan[s] = makeLabel(("hand_" + n).constData(), {}, 12, false);
        m_name[s] = makeLabel(("label_name" + n).constData(), {}, 16, true);
        m_name[s]->setProperty("seat", s);
        m_name[s]->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(m_name[s], &QWidget::customContextMenuRequested, this, [this, s](QPoint at) {
            label_name2ContextPopup(s);
            m_popup->popup(m_name[s]->mapToGlobal(at));
        });
        m_score[s] = makeLabel(("label_score" + n).constData(), {}, 16, true);
        m_score[s]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_watch[s] = makeLabel(("image_watching" + n).constData(), {}, 12, false);
        m_watch[s]->setAccessibleName(QStringLiteral("Just watching"));
        // A click on the eyes is a click on the name below them (its seat popup).
        m_watch[s]->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_watch[s]->hide();
        m_winner[s] = makeLabel(("image_winner" + n).constData(), {}, 12, false);
        m_winner[s]->hide();
        m_fanDrawn[s] = -1;
    }
}

void BoardView::buildTable() {
    m_topcard = makeLabel("image_topcard", {{274, 122}, art::kCardSize}, 12, false);
    m_other = makePicture("image_other", {{286, 136}, art::kCardSize});
    m_other->hide();
    connect(m_other, &ClickLabel::clicked, m_game, [this] { m_game->image_drawClick(); });
    m_draw = makePicture("image_draw", {{345, 122}, art::kCardSize});
    m_draw->setAccessibleName(QStringLiteral("Draw Pile"));
    m_draw->setCursor(Qt::PointingHandCursor);
    connect(m_draw, &ClickLabel::clicked, m_game, [this] { m_game->image_drawClick(); });
    m_drawLabel = makeLabel("label_draw", {345, 199, 80, 16}, 13, true);
    m_drawLabel->setText(QStringLiteral("Draw Pile"));
    m_drawLabel->hide();
    static const char* const barNames[4] = {"image_blue", "image_green", "image_red",
                                            "image_yellow"};
    for (int i = 0; i < 4; ++i) {
        m_bars[i] = makeLabel(barNames[i], {{274, 203}, art::kTableBarSize}, 12, false);
        m_bars[i]->setAccessibleName(QStringLiteral("Color is %1").arg(colourTitleAt(i)));
    }
    m_status = makeLabel("label_status", {269, 344, 380, 16}, 13, true);
    m_turn = makeLabel("label_turn", {274, 216, 137, 16}, 13, true);
    m_waiting = makeLabel("label_waiting", {201, 128, 68, 75}, 13, true);
    m_waiting->setWordWrap(true);
    m_waiting->setText(QStringLiteral("Next Round Starts in a Moment..."));
    m_waiting->hide();
    m_playto = makeLabel("label_playtoscore", {469, 15, 175, 16}, 13, true);
    m_playto->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_gametype = makeLabel("label_thegametype", {469, -1, 175, 16}, 13, true);
    m_gametype->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_arrowLeft = makeLabel("arrow_left", {{120, 168}, art::kArrowSize}, 12, false);
    m_arrowLeft->setAccessibleName(QStringLiteral("Play goes left"));
    m_arrowLeft->hide();
    m_arrowRight = makeLabel("arrow_right", {{436, 168}, art::kArrowSize}, 12, false);
    m_arrowRight->setAccessibleName(QStringLiteral("Play goes right"));
    m_arrowRight->hide();
    m_start = makePicture("button_start", {{496, 304}, art::kStartButtonSize});
    m_start->setAccessibleName(QStringLiteral("Start Game"));
    m_start->setCursor(Qt::PointingHandCursor);
    m_start->hide();
    connect(m_start, &ClickLabel::clicked, m_game, [this] { m_game->button_startClick(); });
    m_focusMark = new KeyboardMark(this);
    m_focusMark->setObjectName(QStringLiteral("keyboard_choice"));
    m_focusMark->hide();
}

void BoardView::buildChooser() {
    m_chooser = new QWidget(this);
    m_chooser->setObjectName(QStringLiteral("panel_choosecolor"));
    place(m_chooser, {187, 121, 84, 99});
    m_chooser->setAutoFillBackground(true);
    QPalette pal = m_chooser->palette();
    pal.setColor(QPalette::Window, QColor(24, 29, 38));
    pal.setColor(QPalette::WindowText, kLabelYellow);
    m_chooser->setPalette(pal);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    font.setBold(true);
    auto* choose = new QLabel(QStringLiteral("Choose "), m_chooser);
    place(choose, {4, 2, 76, 14}, 12, true);
    choose->setFont(font);
    choose->setAlignment(Qt::AlignCenter);
    auto* newColour = new QLabel(QStringLiteral("New Color"), m_chooser);
    place(newColour, {4, 15, 76, 14}, 12, true);
    newColour->setFont(font);
    newColour->setAlignment(Qt::AlignCenter);
    for (int i = 0; i < 4; ++i) {
        auto* bar = new ClickLabel(m_chooser);
        bar->setObjectName(QStringLiteral("choose_") + colourTitleAt(i).toLower());
        place(bar, QRect({5, 32 + i * 16}, art::kChooserBarSize), 0, true);
        m_chooserBars[i] = bar;
        bar->setCursor(Qt::PointingHandCursor);
        bar->setAccessibleName(colourTitleAt(i));
        const int value = colourCodeAt(i);
        connect(bar, &ClickLabel::clicked, m_game, [this, value] { m_game->Image3Click(value); });
    }
    m_chooser->hide();
}

void BoardView::buildPopup() {
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("popup_kick"));
    m_remove = m_popup->addAction(QStringLiteral("Remove From Game"));
    m_remove->setObjectName(QStringLiteral("RemoveFromGame1"));
    m_popup->addSeparator();
    m_setWatch = m_popup->addAction(QStringLiteral("Set to Just Watch"));
    m_setWatch->setObjectName(QStringLiteral("SettoJustWatch1"));
    m_unsetWatch = m_popup->addAction(QStringLiteral("Unset to Just Watch"));
    m_unsetWatch->setObjectName(QStringLiteral("UnsettoJustWatch1"));
    connect(m_remove, &QAction::triggered, this, [this] { m_game->kicking(m_popupSeat); });
    connect(m_setWatch, &QAction::triggered, this,
            [this] { m_game->setSeatWatching(m_popupSeat, true); });
    connect(m_unsetWatch, &QAction::triggered, this,
            [this] { m_game->setSeatWatching(m_popupSeat, false); });
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
        const SeatGeometry& g = kSeatGeometry[static_cast<int>(m_game->positionOf(s))];
        m_name[s]->setGeometry(scaled(QRect(g.name, g.nameSize)));
        m_score[s]->setGeometry(scaled(QRect(g.score, kScoreSize)));
        for (QLabel* l : {m_name[s], m_score[s]}) {
            QFont f = l->font();
            f.setBold(v.highlighted);
            l->setFont(f);
            setLabelColour(l, v.highlighted ? kLabelYellow : kSilver);
        }
        // The eyes sit at the start of the name label; its text moves over to make room.
        m_name[s]->setContentsMargins(v.watching ? scaled(kEyesIndent) : 0, 0, 0, 0);
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
    for (int i = 0; i < n; ++i)
        p.drawPixmap(horizontal ? QPoint(kFanStep * i, 0) : QPoint(0, kFanStep * i), back);
    p.end();
    pix.setDevicePixelRatio(m_dpr);
    fan->setPixmap(pix);
    fan->show();
}

QSize BoardView::fanSize(int seat) const {
    const int n = std::max(1, m_fanDrawn[seat]);
    return m_fanHorizontal[seat] ? art::kCardSize + QSize(kFanStep * (n - 1), 0)
                                 : art::kCardSize + QSize(0, kFanStep * (n - 1));
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
        pic->setGeometry(scaled(QRect({108 + 24 * place, c->raised ? 247 : 254}, art::kCardSize)));
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

void BoardView::chooseWithKeyboard(int step) {
    const int n = int(m_game->handIds().size());
    if (n == 0) {
        m_selected = -1;
    } else if (m_selected < 0) {
        m_selected = step > 0 ? 0 : n - 1;
    } else {
        m_selected = std::clamp(m_selected + step, 0, n - 1);
    }
    syncHand();
}

bool BoardView::isGameKey(const QKeyEvent& event) const {
    // With Ctrl, Alt or Shift the key is typing or a shortcut, never a move.
    if (event.modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier))
        return false;
    switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_D:
        return true;
    case Qt::Key_B:
    case Qt::Key_G:
    case Qt::Key_R:
    case Qt::Key_Y:
    case Qt::Key_Escape:
        return m_game->colourChooserShown();
    default:
        return false;
    }
}

void BoardView::keyPressEvent(QKeyEvent* event) {
    // A key that the chat entry (one of the table's children) left unused reaches the table
    // too; it is no move.
    if (const QWidget* focus = QApplication::focusWidget();
        focus && focus != this && isAncestorOf(focus)) {
        event->ignore();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
        // Not a key of its own yet: the key it modifies decides.
        QWidget::keyPressEvent(event);
        return;
    default:
        break;
    }
    if (!isGameKey(*event)) {
        // Escape only leaves; any other key is the start of a chat line and goes on with it.
        handBackKeyboard(event->key() == Qt::Key_Escape ? nullptr : event);
        return;
    }
    const QList<int> ids = m_game->handIds();
    if (m_game->colourChooserShown()) {
        static const int keys[4] = {Qt::Key_B, Qt::Key_G, Qt::Key_R, Qt::Key_Y};
        for (int i = 0; i < 4; ++i)
            if (event->key() == keys[i]) {
                m_game->Image3Click(colourCodeAt(i));
                return;
            }
    }
    switch (event->key()) {
    case Qt::Key_Left:
        chooseWithKeyboard(-1);
        return;
    case Qt::Key_Right:
        chooseWithKeyboard(1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (m_selected >= 0 && m_selected < ids.size())
            m_game->movingimagesMouseDown(ids[m_selected], false);
        return;
    case Qt::Key_D:
        m_game->image_drawClick();
        return;
    case Qt::Key_Escape:
        m_game->hideColourChooser();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

bool BoardView::focusNextPrevChild(bool next) {
    // Tab at the table goes back to the chat entry, not on round the window's widgets.
    if (hasFocus() && m_keyboardHome) {
        handBackKeyboard(nullptr);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

void BoardView::handBackKeyboard(QKeyEvent* passOn) {
    if (!m_keyboardHome) {
        if (passOn)
            passOn->ignore();
        return;
    }
    m_keyboardHome->setFocus(Qt::TabFocusReason);
    if (passOn)
        QCoreApplication::sendEvent(m_keyboardHome, passOn);
}

void BoardView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    syncHand(); // shows the frame: round the chosen card, or round the table
}

void BoardView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    syncHand();
}

void BoardView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect r = event->rect();
    if (m_tile.isNull())
        p.fillRect(r, QColor(art::kBoardColour));
    else
        p.drawTiledPixmap(r, m_tile, r.topLeft());
}

} // namespace vrako
