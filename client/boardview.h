// SPDX-License-Identifier: MIT
#pragma once

#include "client/clientgame.h"

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <map>

class QLabel;
class QMenu;
class QAction;

namespace vrako {

class ClickLabel;

// The card table: draws the seats, the hand, the top card and the other seats' fans from the
// client's game state and forwards the player's clicks and keys to it. A click plays or draws
// and leaves the keyboard where it was; the table has the keyboard only when given it, and a key
// that is no game key hands it back to the keyboard's home (the chat entry), key and all.
class BoardView : public QWidget {
    Q_OBJECT
public:
    // The table's fixed size; the main window's client area is built round it.
    static constexpr QSize kSize{653, 505};

    explicit BoardView(ClientGame* game, QWidget* parent = nullptr);

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

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    QLabel* makeLabel(const char* name, QRect geometry, int pixelSize, bool bold);
    ClickLabel* makePicture(const char* name, QRect geometry);
    void buildSeats();
    void buildTable();
    void buildChooser();
    void buildPopup();
    void syncSeats();
    void syncTable();
    void syncHand();
    void paintFan(int seat);
    QPixmap face(int code) const;
    void chooseWithKeyboard(int step);
    // Gives the keyboard to its home and, when given, the key that ended the table's turn.
    void handBackKeyboard(QKeyEvent* passOn);

    ClientGame* m_game;
    qreal m_dpr = 1;
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
    QWidget* m_focusMark = nullptr;
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
