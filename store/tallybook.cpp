// SPDX-License-Identifier: MIT
#include "store/tallybook.h"

#include "support/lzrw1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <exception>
#include <span>

namespace vrako {
namespace {

// Bounds on what a tally file may hold before it is even unpacked: far beyond any real tally
// (100,000 opponents take a few megabytes), small enough never to exhaust memory.
constexpr qint64 MaxPackedSize = 16 * 1024 * 1024;
constexpr std::size_t MaxTextSize = 64 * 1024 * 1024;

// A count as the file writes it: decimal digits, at most 18 so it fits in 64 bits.
bool parseCount(const QString& text, qint64* value) {
    if (text.isEmpty() || text.size() > 18)
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    *value = text.toLongLong();
    return true;
}

// Names become single lines of the text form.
QString oneLine(QString name) {
    name.replace(QLatin1Char('\r'), QLatin1Char(' '));
    name.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return name;
}

} // namespace

TallyBook::TallyBook(QObject* parent) : QObject(parent) {
    m_rows.append({QStringLiteral("0"), {}});
}

QString TallyBook::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= ColumnCount)
        return {};
    return column == 0 ? m_rows[row].name : QString::number(m_rows[row].counts[column]);
}

qint64 TallyBook::count(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 1 || column >= ColumnCount)
        return 0;
    return m_rows[row].counts[column];
}

QStringList TallyBook::names() const {
    QStringList out;
    for (int r = 1; r < rowCount(); ++r)
        out.append(m_rows[r].name);
    return out;
}

int TallyBook::rowOf(const QString& name) const {
    for (int r = 1; r < rowCount(); ++r)
        if (m_rows[r].name == name)
            return r;
    return -1;
}

bool TallyBook::addPlayer(const QString& name) {
    const QString clean = oneLine(name);
    if (isTallied(clean))
        return false;
    m_rows.append({clean, {}});
    emit changed();
    return true;
}

void TallyBook::removeRow(int row) {
    if (row < 1 || row >= rowCount())
        return;
    m_rows.removeAt(row);
    emit changed();
}

void TallyBook::reset() {
    m_rows = {{QStringLiteral("0"), {}}};
    emit changed();
}

void TallyBook::addgame(const QString& winner, const QStringList& atTable) {
    const bool mineWon = winner == mine();
    ++m_rows[0].counts[1];
    if (mineWon)
        ++m_rows[0].counts[2];
    for (const QString& name : atTable) {
        const int r = rowOf(name);
        if (r < 1)
            continue;
        auto& c = m_rows[r].counts;
        ++c[1];
        ++c[5];
        const int which = name == winner ? 2 : mineWon ? 3 : 4;
        ++c[which];
        ++c[which + 4];
    }
    emit changed();
}

void TallyBook::startNewRun() {
    for (int r = 1; r < rowCount(); ++r)
        for (int c = 5; c < ColumnCount; ++c)
            m_rows[r].counts[c] = 0;
    emit changed();
}

QStringList TallyBook::playersInCurrentGame(int mySeat, const QStringList& seatNames) {
    QStringList out;
    for (int seat = 1; seat <= 4 && seat <= seatNames.size(); ++seat) {
        const QString& name = seatNames[seat - 1];
        if (seat != mySeat && !name.isEmpty())
            out.append(name);
    }
    return out;
}

QByteArray TallyBook::toText() const {
    QByteArray out;
    const auto line = [&out](const QString& s) { out += s.toUtf8() + "\r\n"; };
    line(QString::number(ColumnCount));
    line(QString::number(rowCount()));
    for (int c = 0; c < ColumnCount; ++c)
        for (int r = 0; r < rowCount(); ++r)
            line(cell(r, c));
    return out;
}

bool TallyBook::fromText(const QByteArray& text, QString* why) {
    const auto fail = [why](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    // Lines end in CR LF; a table made by hand may use LF alone.
    QStringList lines =
        QString::fromUtf8(text).split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    qint64 columns = 0;
    qint64 rows = 0;
    if (lines.size() < 2 || !parseCount(lines[0].trimmed(), &columns) ||
        !parseCount(lines[1].trimmed(), &rows))
        return fail(QStringLiteral("no column and row counts"));
    if (columns < 1 || rows < 1 || columns > MaxCount || rows > MaxCount)
        return fail(QStringLiteral("impossible counts %1 x %2").arg(columns).arg(rows));
    if (lines.size() - 2 < columns * rows)
        return fail(QStringLiteral("%1 cells where %2 were promised")
                        .arg(lines.size() - 2)
                        .arg(columns * rows));
    QList<Row> table(static_cast<qsizetype>(rows));
    for (qint64 c = 0; c < std::min<qint64>(columns, ColumnCount); ++c) {
        for (qint64 r = 0; r < rows; ++r) {
            const QString& value = lines[static_cast<qsizetype>(2 + c * rows + r)];
            Row& row = table[static_cast<qsizetype>(r)];
            if (c == 0) {
                row.name = value;
            } else if (!value.isEmpty() &&
                       !parseCount(value, &row.counts[static_cast<std::size_t>(c)])) {
                // An empty count reads as 0, as it always has.
                return fail(QStringLiteral("row %1, column %2 is not a count").arg(r).arg(c));
            }
        }
    }
    table[0].name = QStringLiteral("0");
    m_rows = std::move(table);
    emit changed();
    return true;
}

TallyBook::LoadResult TallyBook::load(const QString& path, QString* note) {
    reset();
    m_keepFile = false;
    QFile file(path);
    if (!file.exists())
        return LoadResult::NoFile;
    QString why;
    bool ok = false;
    if (!file.open(QIODevice::ReadOnly)) {
        // Not damage: the file may be whole and readable again later, so it is neither moved
        // nor written over during this run.
        m_keepFile = true;
        if (note)
            *note = QStringLiteral("The tally file could not be read (%1); games are not kept "
                                   "in it this time.")
                        .arg(file.errorString());
        return LoadResult::Unreadable;
    }
    if (file.size() > MaxPackedSize) {
        why = QStringLiteral("too large");
    } else {
        const QByteArray packed = file.readAll();
        file.close();
        try {
            const std::span<const std::uint8_t> in(
                reinterpret_cast<const std::uint8_t*>(packed.constData()),
                static_cast<std::size_t>(packed.size()));
            if (Tlzrw1::decompressedSize(in) > MaxTextSize)
                throw ELzrw1Exception("declares an impossible size");
            const std::vector<std::uint8_t> text = Tlzrw1::decompressBuffer(in, path.toStdString());
            ok = fromText(QByteArray(reinterpret_cast<const char*>(text.data()),
                                     static_cast<qsizetype>(text.size())),
                          &why);
        } catch (const std::exception& e) {
            why = QString::fromUtf8(e.what());
        }
    }
    if (ok) {
        startNewRun();
        return LoadResult::Loaded;
    }
    reset();
    // Keep the damaged file for whoever wants to look at it, out of the way of the next save.
    QString aside = path + QStringLiteral(".damaged");
    for (int n = 1; QFile::exists(aside); ++n)
        aside = path + QStringLiteral(".damaged.%1").arg(n);
    const bool moved = QFile::rename(path, aside);
    qWarning("Tally file %s is damaged: %s", qPrintable(path), qPrintable(why));
    if (note)
        *note = moved ? QStringLiteral("The tally file was damaged; it was moved to %1 and a new "
                                       "tally was started.")
                            .arg(QFileInfo(aside).fileName())
                      : QStringLiteral("The tally file was damaged; a new tally was started.");
    return LoadResult::Damaged;
}

bool TallyBook::save(const QString& path) const {
    if (m_keepFile)
        return false;
    const QByteArray text = toText();
    std::vector<std::uint8_t> packed;
    try {
        Tlzrw1 doit;
        doit.setCompressMode(TCompressMode::Fast);
        packed = doit.compressBuffer(
            std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.constData()),
                                          static_cast<std::size_t>(text.size())));
    } catch (const std::exception&) {
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    // QSaveFile writes a sibling file and renames it over the old one only on commit.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const auto size = static_cast<qint64>(packed.size());
    if (out.write(reinterpret_cast<const char*>(packed.data()), size) != size) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace vrako
