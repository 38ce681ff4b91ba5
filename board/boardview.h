// SPDX-License-Identifier: MIT
#pragma once

#include "board/boardgeometry.h"
#include "game/clientgame.h"

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <map>
#include <vector>

class QLabel;
class QMenu;
class QAction;

namespace vrako {

class ClickLabel;
class KeyboardMark;

// The card table: draws the seats, the hand, the top card and the other seats' fans from the
// client's game state and forwards the player's clicks and keys to it. A click plays or draws
// and leaves the keyboard where it was; the table has the keyboard only when given it, and a key
// that is no game key hands it back to the keyboard's home (the chat entry), key and all.
//
// Every place on the table is kept in design coordinates (the table at scale 1, kSize) and
// mapped through one scale factor: the largest that fits the widget, so the table grows and
// shrinks with the window, centred across it, and the felt fills the rest.
class BoardView : public QWidget {
    Q_OBJECT
public:
    // The table's design size, at scale 1; the main window's client area is built round it.
    static constexpr QSize kSize{653, 505};
    // The smallest scale the table is drawn at, and the table's size there (rounded up).
    static constexpr qreal kMinimumScale = 0.6;
    static constexpr QSize kMinimumSize{392, 303};
    static_assert(kMinimumSize.width() >= kSize.width() * kMinimumScale &&
                  kMinimumSize.width() - 1 < kSize.width() * kMinimumScale &&
                  kMinimumSize.height() >= kSize.height() * kMinimumScale &&
                  kMinimumSize.height() - 1 < kSize.height() * kMinimumScale);
    // Where the phrase buttons and the chat start, in design coordinates: the table proper
    // lies above the phrase buttons' row, whose right part holds the status line.
    static constexpr int kPhraseRowTop = 341;
    static constexpr int kChatTop = 364;

    explicit BoardView(ClientGame* game, QWidget* parent = nullptr);

    // The scale that fits a table into a widget of this size, never below kMinimumScale.
    static qreal scaleFor(QSize size) {
        return board::TableScale::fitting(size, kSize, kMinimumScale);
    }
    qreal scale() const { return m_map.scale(); }
    // A design rectangle or point in this widget's coordinates at the present scale.
    QRect scaled(const QRect& design) const { return m_map.rect(design); }
    QPoint scaled(QPoint design) const { return m_map.point(design); }
    int scaled(int designLength) const { return m_map.length(designLength); }

    QSize sizeHint() const override { return kSize; }
    QSize minimumSizeHint() const override { return kMinimumSize; }

    // Re-reads the whole state; cheap enough to run after every message.
    void sync();

    ClickLabel* cardPicture(int id) const;
    QLabel* nameLabel(int seat) const { return m_name.at(seat); }
    QLabel* scoreLabel(int seat) const { return m_score.at(seat); }
    QLabel* fan(int seat) const { return m_fan.at(seat); }
    QMenu* seatPopup() const { return m_popup; }
    int popupSeat() const { return m_popupSeat; }
    // The place (0-based) the keyboard has chosen in the hand, or -1.
    int selectedPlace() const { return m_selected; }
    // Prepares the seat popup as a right click on the seat's label does.
    void label_name2ContextPopup(int seat);
    // Where the keyboard goes back to on Tab, Escape or a key that is not for the table.
    void setKeyboardHome(QWidget* home) { m_keyboardHome = home; }
    // Whether the table acts on this key while it has the keyboard.
    bool isGameKey(const QKeyEvent& event) const;

signals:
    // The table was laid out afresh for a new size or scale: whatever the owner placed on it
    // (the chat below the table) follows.
    void laidOut();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // A widget placed at a design rectangle (null: placed by the sync code) with a design font
    // size in pixels (0: none); `inChooser` rectangles are relative to the colour chooser.
    struct Placed {
        QWidget* widget;
        QRect design;
        int pixelSize;
        bool inChooser;
    };

    QLabel* makeLabel(const char* name, QRect geometry, int pixelSize, bool bold);
    ClickLabel* makePicture(const char* name, QRect geometry);
    void place(QWidget* widget, QRect design, int pixelSize = 0, bool inChooser = false);
    // Places every widget and draws every picture for the present scale, then syncs.
    void layOut();
    void drawPictures();
    // Shows every picture stretched to its place (while a resize goes on) or as drawn.
    void stretchPictures(bool on);
    // A picture rendered at the screen's ratio times the scale, shown at the screen's ratio:
    // `make` is one of the art functions, given that ratio.
    template <typename Make> QPixmap picture(Make make) const;
    qreal artRatio() const { return m_dpr * scale(); }
    void buildSeats();
    void buildTable();
    void buildChooser();
    void buildPopup();
    void syncSeats();
    void syncTable();
    void syncHand();
    void paintFan(int seat);
    // The design size of a seat's fan as last drawn.
    QSize fanSize(int seat) const;
    QPixmap face(int code) const;
    void chooseWithKeyboard(int step);
    // Gives the keyboard to its home and, when given, the key that ended the table's turn.
    void handBackKeyboard(QKeyEvent* passOn);

    ClientGame* m_game;
    qreal m_dpr = 1;
    board::TableScale m_map;
    // The scale the pictures were last drawn at (0: not yet), and the wait after the last
    // resize before they are drawn for a new one.
    qreal m_pictureScale = 0;
    static constexpr int kSettleMs = 120;
    QTimer m_settle;
    std::vector<Placed> m_placed;
    std::array<ClickLabel*, 4> m_chooserBars{};
    QPixmap m_tile;
    std::array<QLabel*, seating::kSeats + 1> m_name{};
    std::array<QLabel*, seating::kSeats + 1> m_score{};
    std::array<QLabel*, seating::kSeats + 1> m_watch{};
    std::array<QLabel*, seating::kSeats + 1> m_winner{};
    std::array<QLabel*, seating::kSeats + 1> m_fan{};
    std::array<int, seating::kSeats + 1> m_fanDrawn{};
    std::array<bool, seating::kSeats + 1> m_fanHorizontal{};
    QTimer m_winnerTimer;
    int m_winnerFrame = 0;

    QLabel* m_topcard = nullptr;
    ClickLabel* m_other = nullptr;
    ClickLabel* m_draw = nullptr;
    QLabel* m_drawLabel = nullptr;
    std::array<QLabel*, 4> m_bars{};
    QWidget* m_chooser = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_turn = nullptr;
    QLabel* m_waiting = nullptr;
    QLabel* m_playto = nullptr;
    QLabel* m_gametype = nullptr;
    QLabel* m_arrowLeft = nullptr;
    QLabel* m_arrowRight = nullptr;
    ClickLabel* m_start = nullptr;
    KeyboardMark* m_focusMark = nullptr;
    QPointer<QWidget> m_keyboardHome;

    std::map<int, ClickLabel*> m_cards; // by card id
    int m_shownTop = -2;
    int m_shownOther = -2;
    int m_selected = -1;

    QMenu* m_popup = nullptr;
    QAction* m_remove = nullptr;
    QAction* m_setWatch = nullptr;
    QAction* m_unsetWatch = nullptr;
    int m_popupSeat = 0;
};

} // namespace vrako
