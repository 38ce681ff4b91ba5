// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>

namespace vrako {

// The player's win record: row 0 holds the totals (column 1 games, column 2 own wins); every
// further row is one tallied opponent: column 0 the name, columns 1 to 4 games together, the
// opponent's wins, own wins and games neither of the two won, and columns 5 to 8 the same four
// counts for this run of the program.
//
// On disk it is a text table (column count, row count, then every cell column by column, each
// line ended by CR LF) packed into the LZRW1-KH container. Saving replaces the file only once
// the new one is complete; a file that cannot be read is moved aside and the tally starts empty.
class TallyBook : public QObject {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 9;
    // More rows or columns than this in a file is damage, not a tally.
    static constexpr int MaxCount = 100000;
    // The word addgame() takes when the local player won.
    static QString mine() { return QStringLiteral("addtomine"); }
    static QString fileName() { return QStringLiteral("Vrakotally.tld"); }

    enum class LoadResult { Loaded, NoFile, Damaged, Unreadable };

    explicit TallyBook(QObject* parent = nullptr);

    // Rows, including row 0; cell() gives a count or a name as the file holds it.
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    QString cell(int row, int column) const;
    qint64 count(int row, int column) const;
    qint64 totalGames() const { return count(0, 1); }
    qint64 myWins() const { return count(0, 2); }
    // The tallied opponents in row order (entry i is row i + 1).
    QStringList names() const;
    // The row of a tallied name, or -1.
    int rowOf(const QString& name) const;
    bool isTallied(const QString& name) const { return rowOf(name) > 0; }

    // Starts tallying a name with a new last row of zeros; false when it is already tallied.
    bool addPlayer(const QString& name);
    // Stops tallying the opponent of that row (1 and up); the rows below move up.
    void removeRow(int row);
    // Back to row 0 alone, all zeros.
    void reset();
    // Records one finished game: `winner` is mine() or the winner's name; `atTable` are the
    // other players at the table. Only tallied names among them are counted.
    void addgame(const QString& winner, const QStringList& atTable);
    // Zeroes the current-run columns 5 to 8 of every opponent.
    void startNewRun();

    // The other players at the table: seats 1 to 4 (seatNames[0] is seat 1) except mySeat,
    // skipping seats nobody has taken (an empty name).
    static QStringList playersInCurrentGame(int mySeat, const QStringList& seatNames);

    // The table's text form and back. fromText() leaves the tally as it was and says why when
    // the text is not a whole table.
    QByteArray toText() const;
    bool fromText(const QByteArray& text, QString* why = nullptr);

    // Reads the tally file and starts a new run. A missing file gives an empty tally; a damaged
    // one is renamed to path + ".damaged", the tally starts empty and `note` gets one line for
    // the player.
    LoadResult load(const QString& path, QString* note = nullptr);
    // Writes the tally file beside the old one and renames it over it when complete; on any
    // failure the old file stays whole and false is returned.
    bool save(const QString& path) const;

signals:
    // Any count, row or name changed.
    void changed();

private:
    struct Row {
        QString name;
        std::array<qint64, ColumnCount> counts{};
    };
    QList<Row> m_rows;
    // A tally file that exists but could not be opened is never written over.
    bool m_keepFile = false;
};

} // namespace vrako
