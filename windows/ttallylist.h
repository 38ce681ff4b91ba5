// SPDX-License-Identifier: MIT
#pragma once

#include "windows/sidewindow.h"

#include <QStringList>
#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;

namespace vrako {

class TallyBook;

// The tally list window: the player's totals, the opponents at the table (tick one to start
// tallying them), the tallied opponents (untick one to delete their tally) and the numbers of
// the chosen one. It shows and edits a TallyBook owned elsewhere.
class Ttallylist : public SideWindow {
    Q_OBJECT
public:
    // Asks the player a Yes/No question; true for Yes.
    using Confirm = std::function<bool(QWidget* parent, const QString& question)>;

    explicit Ttallylist(TallyBook* book, QWidget* parent = nullptr);

    TallyBook* book() const { return m_book; }
    // Replaces the Yes/No box (tests answer without a dialog).
    void setConfirm(Confirm confirm) { m_confirm = std::move(confirm); }

    // Fills "Players In Current Game" with the other players at the table, ticked when tallied.
    void loadchecklist(const QStringList& othersAtTable);
    // Records a finished game: `winner` is TallyBook::mine() or the winner's name.
    void addgame(const QString& winner, const QStringList& othersAtTable);
    // The game-winner path: records the game only when the local copy sits in seat 1 to 4.
    // seatNames are the names of seats 1 to 4, empty for a seat nobody has taken.
    void gameWon(int mySeat, int winnerSeat, const QStringList& seatNames);

    // "Reset Tally" after its confirmation.
    void resetTally();
    // Shows the numbers of "Players Being Tallied" entry i (row i + 1).
    void showPlayer(int index);

private:
    void refresh();
    void currentGameItemChanged(QListWidgetItem* item);
    void talliedItemChanged(QListWidgetItem* item);

    TallyBook* m_book;
    Confirm m_confirm;
    QLabel* m_myGames = nullptr;
    QLabel* m_myWins = nullptr;
    QLabel* m_hisNameTop = nullptr;
    QLabel* m_hisName = nullptr;
    QLabel* m_numbers[8] = {};
    QListWidget* m_checklist = nullptr;
    QListWidget* m_tallied = nullptr;
    bool m_filling = false;
};

} // namespace vrako
