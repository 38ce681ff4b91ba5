// SPDX-License-Identifier: MIT
#pragma once

#include "support/cards.h"
#include "windows/sidewindow.h"

class QLabel;
class QLineEdit;
class QToolButton;

namespace vrako {

// The host's choice of play-to score and game type for a new game. Cancel or Escape closes it
// without starting one.
class GameStartDialog : public SideWindow {
    Q_OBJECT
public:
    explicit GameStartDialog(QWidget* parent = nullptr);

    QString playToScore() const;
    GameType gameType() const { return m_type; }
    void setPlayToScore(const QString& text);
    // Ticks box_same for the Same Number game and box_different for the other.
    void changebox(GameType type);

    void stepUp() { step(5); }
    void stepDown() { step(-5); }
    void box_sameClick(bool same) {
        changebox(same ? GameType::SameNumber : GameType::OneMoreOrLess);
    }
    void button_startClick();

signals:
    // The chosen play-to score (0 when the field does not hold a number) and game type.
    void startRequested(int playToScore, GameType type);

private:
    void step(int delta);

    QLineEdit* m_score = nullptr;
    QToolButton* m_boxSame = nullptr;
    QToolButton* m_boxDifferent = nullptr;
    QLabel* m_typeLabel = nullptr;
    GameType m_type = GameType::OneMoreOrLess;
};

} // namespace vrako
