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
    // "s" (Same Number Game) or "d" (One More or Less Game).
    QString gameType() const { return m_type; }
    void setPlayToScore(const QString& text);
    // Ticks box_same for "s" and box_different for any other code.
    void changebox(const QString& code);

    void stepUp() { step(5); }
    void stepDown() { step(-5); }
    void box_sameClick(bool same) { changebox(same ? QStringLiteral("s") : QStringLiteral("d")); }
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
    QString m_type = QStringLiteral("d");
};

} // namespace vrako
