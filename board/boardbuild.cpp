// SPDX-License-Identifier: MIT
// Building the card table: its labels and pictures, each with the name, the text a screen
// reader reads and the design place it keeps at every scale; the colour chooser; the seat
// popup.
#include "board/boardview.h"
#include "board/clicklabel.h"
#include "board/keyboardmark.h"
#include "widgets/cardart.h"

#include <QAction>
#include <QMenu>

namespace vrako {
namespace {

QString colourTitleAt(int colourIndex) {
    return QString::fromLatin1(colourTitle(colourCodeAt(colourIndex)));
}

} // namespace

QLabel* BoardView::makeLabel(const char* name, QRect geometry, int pixelSize, bool bold) {
    auto* label = new BoardLabel(this);
    label->setObjectName(QLatin1String(name));
    place(label, geometry, pixelSize);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    setLabelColour(label, board::kLabelYellow);
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
    pal.setColor(QPalette::WindowText, board::kLabelYellow);
    m_chooser->setPalette(pal);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    font.setBold(true);
    auto* choose = new BoardLabel(m_chooser);
    choose->setText(QStringLiteral("Choose "));
    place(choose, {4, 2, 76, 14}, 12, true);
    choose->setFont(font);
    choose->setAlignment(Qt::AlignCenter);
    auto* newColour = new BoardLabel(m_chooser);
    newColour->setText(QStringLiteral("New Color"));
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

} // namespace vrako
