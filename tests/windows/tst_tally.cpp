// SPDX-License-Identifier: MIT
// The tally: games counted against tallied opponents, the window's check lists and boxes, and
// the tally file kept across runs, read from hand-made files and never lost.
#include "store/tallybook.h"
#include "support/lzrw1.h"
#include "windows/ttallylist.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace vrako;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

QByteArray pack(const QByteArray& text) {
    Tlzrw1 doit;
    const auto out = doit.compressBuffer(std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(text.constData()), std::size_t(text.size())));
    return QByteArray(reinterpret_cast<const char*>(out.data()), qsizetype(out.size()));
}

QStringList strings(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* s : list)
        out.append(QString::fromUtf8(s));
    return out;
}

// The text form of a table given row by row.
QByteArray table(std::initializer_list<std::initializer_list<const char*>> rows) {
    QByteArray out = "9\r\n" + QByteArray::number(qsizetype(rows.size())) + "\r\n";
    for (int c = 0; c < 9; ++c)
        for (const auto& row : rows)
            out += strings(row).value(c).toUtf8() + "\r\n";
    return out;
}

QString text(const QWidget& w, const char* name) {
    return w.findChild<QLabel*>(QLatin1String(name))->text();
}

QStringList numbers(const QWidget& w) {
    QStringList out;
    for (int i = 1; i <= 8; ++i)
        out.append(text(w, QByteArray("label_" + QByteArray::number(i)).constData()));
    return out;
}

QListWidget* list(const QWidget& w, const char* name) {
    return w.findChild<QListWidget*>(QLatin1String(name));
}

// The seat labels of a table where the local player sits in seat 1.
const QStringList seats = strings({"Me", "Ann", "Bo", ""});

} // namespace

class TestTally : public QObject {
    Q_OBJECT
private slots:
    void gamesAreCounted();
    void checkListsAndBoxes();
    void restartKeepsTotals();
    void handMadeFileLoads();
    void damagedFiles_data();
    void damagedFiles();
    void failedSaveKeepsOldFile();
    void unreadableFileIsKeptAndEarlierDamageStays();
    void opensOverTheMainWindow();
};

void TestTally::gamesAreCounted() {
    TallyBook book;
    Ttallylist w(&book);
    QCOMPARE(w.windowTitle(), QStringLiteral("Vrako - Tally List"));
    QCOMPARE(w.size(), QSize(468, 365));
    QCOMPARE(text(w, "label_hisname"), QStringLiteral("Wins:")); // nobody chosen yet
    book.addPlayer(QStringLiteral("Ann"));
    book.addPlayer(QStringLiteral("Cy")); // tallied, but not at this table
    list(w, "listbox_tally")->setCurrentRow(0);
    QCOMPARE(text(w, "label_hisnametop"), QStringLiteral("Ann's Tally"));
    QCOMPARE(text(w, "label_hisname"), QStringLiteral("Ann Wins:"));

    w.gameWon(1, 1, seats); // I win
    w.gameWon(1, 3, seats); // Bo, not tallied, wins
    w.gameWon(1, 2, seats); // Ann wins
    w.gameWon(0, 2, seats); // watching: not my game
    w.gameWon(5, 1, seats);
    QCOMPARE(text(w, "mylabel_1"), QStringLiteral("3"));
    QCOMPARE(text(w, "mylabel_2"), QStringLiteral("1"));
    // games, Ann's wins, mine, neither; totals then this run.
    QCOMPARE(numbers(w), strings({"3", "1", "1", "1", "3", "1", "1", "1"}));
    QCOMPARE(book.cell(2, 0), QStringLiteral("Cy"));
    for (int c = 1; c <= 8; ++c)
        QCOMPARE(book.count(2, c), 0);
    // "Players In Current Game": the others at the table, ticked when tallied.
    QListWidget* current = list(w, "checklist");
    QCOMPARE(current->count(), 2);
    QCOMPARE(current->item(0)->text(), QStringLiteral("Ann"));
    QCOMPARE(current->item(0)->checkState(), Qt::Checked);
    QCOMPARE(current->item(1)->checkState(), Qt::Unchecked);
}

void TestTally::checkListsAndBoxes() {
    TallyBook book;
    Ttallylist w(&book);
    QStringList asked;
    bool answer = false;
    w.setConfirm([&](QWidget*, const QString& q) {
        asked.append(q);
        return answer;
    });
    w.loadchecklist(TallyBook::playersInCurrentGame(2, seats));
    QListWidget* current = list(w, "checklist");
    QCOMPARE(current->count(), 2); // Me and Bo; seat 2 is mine, seat 4 is empty
    current->item(1)->setCheckState(Qt::Checked);
    QCOMPARE(book.names(), strings({"Bo"}));
    QListWidget* tallied = list(w, "listbox_tally");
    QCOMPARE(tallied->count(), 1);
    QCOMPARE(tallied->item(0)->checkState(), Qt::Checked);
    // Unticking a tallied name in the current game changes nothing.
    current->item(1)->setCheckState(Qt::Unchecked);
    QCOMPARE(current->item(1)->checkState(), Qt::Checked);
    QCOMPARE(book.rowCount(), 2);

    book.addgame(TallyBook::mine(), strings({"Bo"}));
    tallied->item(0)->setCheckState(Qt::Unchecked);
    QCOMPARE(asked.last(),
             QStringLiteral("This will delete Bo's Tally, Are you want to delete it?"));
    QCOMPARE(tallied->item(0)->checkState(), Qt::Checked);
    QCoreApplication::processEvents();
    QCOMPARE(book.count(1, 3), 1);

    answer = true;
    tallied->item(0)->setCheckState(Qt::Unchecked);
    QTRY_COMPARE(book.rowCount(), 1);
    QCOMPARE(tallied->count(), 0);
    QCOMPARE(current->item(1)->checkState(), Qt::Unchecked);

    book.addPlayer(QStringLiteral("Ann"));
    book.addgame(QStringLiteral("Ann"), strings({"Ann"}));
    tallied->setCurrentRow(0);
    answer = false;
    w.findChild<QPushButton*>(QStringLiteral("button_reset"))->click();
    QCOMPARE(asked.last(), QStringLiteral("Are you sure you want to reset the Tally?"));
    QCOMPARE(text(w, "mylabel_1"), QStringLiteral("2"));
    answer = true;
    w.findChild<QPushButton*>(QStringLiteral("button_reset"))->click();
    QCOMPARE(book.rowCount(), 1);
    QCOMPARE(text(w, "mylabel_1"), QStringLiteral("0"));
    QCOMPARE(text(w, "mylabel_2"), QStringLiteral("0"));
    QCOMPARE(tallied->count(), 0);
    QCOMPARE(numbers(w), QStringList(8, QStringLiteral("0")));
}

void TestTally::restartKeepsTotals() {
    QTemporaryDir dir;
    const QString path = dir.filePath(TallyBook::fileName());
    {
        TallyBook book;
        book.addPlayer(QStringLiteral("Ann"));
        book.addgame(TallyBook::mine(), strings({"Ann"}));
        book.addgame(QStringLiteral("Ann"), strings({"Ann"}));
        QVERIFY(book.save(path));
    }
    TallyBook book;
    Ttallylist w(&book);
    QCOMPARE(book.load(path), TallyBook::LoadResult::Loaded);
    QCOMPARE(text(w, "mylabel_1"), QStringLiteral("2"));
    QCOMPARE(text(w, "mylabel_2"), QStringLiteral("1"));
    list(w, "listbox_tally")->setCurrentRow(0);
    QCOMPARE(numbers(w), strings({"2", "1", "1", "0", "0", "0", "0", "0"}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{TallyBook::fileName()});
    // No work file lands in the current folder.
    QVERIFY(!QFile::exists(QStringLiteral("temp.txt")));
}

void TestTally::handMadeFileLoads() {
    QString bin = qEnvironmentVariable("VRAKO_BIN_DIR");
    if (bin.isEmpty())
        bin = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");
    const QString tool = QDir(bin).filePath(QStringLiteral("vrako-lzrw1"));
    QVERIFY2(QFile::exists(tool), qPrintable(tool + QStringLiteral(" is missing")));
    QTemporaryDir dir;
    const QString path = dir.filePath(TallyBook::fileName());
    // Made by hand on Linux: LF line ends and an empty count, as an editor might leave them.
    QByteArray made = table({{"0", "7", "4", "0", "0", "0", "0", "0", "0"},
                             {"Ann", "5", "2", "3", "", "1", "1", "0", "0"},
                             {"Zoë", "2", "0", "1", "1", "0", "0", "0", "0"}});
    made.replace("\r\n", "\n");
    QVERIFY(writeFile(dir.filePath(QStringLiteral("plain.txt")), made));
    QCOMPARE(QProcess::execute(tool, {QStringLiteral("compress"),
                                      dir.filePath(QStringLiteral("plain.txt")), path}),
             0);
    TallyBook book;
    QCOMPARE(book.load(path), TallyBook::LoadResult::Loaded);
    QCOMPARE(book.names(), strings({"Ann", "Zoë"}));
    QCOMPARE(book.totalGames(), 7);
    QCOMPARE(book.count(1, 3), 3);
    QCOMPARE(book.count(1, 4), 0);
    QCOMPARE(book.count(1, 5), 0); // a new run

    QVERIFY(book.save(path));
    const QString back = dir.filePath(QStringLiteral("back.txt"));
    QCOMPARE(QProcess::execute(tool, {QStringLiteral("decompress"), path, back}), 0);
    QCOMPARE(readFile(back), table({{"0", "7", "4", "0", "0", "0", "0", "0", "0"},
                                    {"Ann", "5", "2", "3", "0", "0", "0", "0", "0"},
                                    {"Zoë", "2", "0", "1", "1", "0", "0", "0", "0"}}));
}

void TestTally::damagedFiles_data() {
    QTest::addColumn<QByteArray>("file");
    const QByteArray good = pack(table({{"0", "1", "1"}, {"Ann", "1", "0", "1"}}));
    QTest::newRow("truncated container") << good.left(good.size() - 3);
    QTest::newRow("garbage") << QByteArray("this is not a tally at all, just some words");
    QTest::newRow("absurd row count") << pack("9\r\n100001\r\n0\r\n");
    QTest::newRow("negative count") << pack("9\r\n-2\r\n");
    QTest::newRow("fewer cells than promised")
        << pack(table({{"0", "1", "1"}, {"Ann", "1", "0", "1"}}).chopped(6));
    QTest::newRow("count not a number") << pack(table({{"0", "1", "1"}, {"Ann", "x1"}}));
    QTest::newRow("empty text") << pack("");
}

void TestTally::damagedFiles() {
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    const QString path = dir.filePath(TallyBook::fileName());
    QVERIFY(writeFile(path, file));
    TallyBook book;
    book.addPlayer(QStringLiteral("Old"));
    QString note;
    QCOMPARE(book.load(path, &note), TallyBook::LoadResult::Damaged);
    QCOMPARE(book.rowCount(), 1);
    QCOMPARE(book.totalGames(), 0);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(readFile(path + QStringLiteral(".damaged")), file);
    QCOMPARE(note, QStringLiteral("The tally file was damaged; it was moved to "
                                  "Vrakotally.tld.damaged and a new tally was started."));
    // The next save starts afresh and reads back.
    QVERIFY(book.save(path));
    QCOMPARE(book.load(path), TallyBook::LoadResult::Loaded);
}

void TestTally::failedSaveKeepsOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(TallyBook::fileName());
    TallyBook book;
    book.addgame(TallyBook::mine(), {});
    QVERIFY(book.save(path));
    const QByteArray old = readFile(path);
    for (int i = 0; i < 2000; ++i)
        book.addPlayer(QStringLiteral("Player %1 with a long name that does not pack well %2")
                           .arg(i)
                           .arg(i * 7919 % 1000));

    // A folder we may not write to (root may write anywhere, so this only bites for others).
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    if (geteuid() != 0)
        QVERIFY(!book.save(path));
    QVERIFY(
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    // A write that fails halfway (the disk full, or a file size limit) leaves the old file too.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = book.save(path);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);
    QVERIFY(!written);
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{TallyBook::fileName()});
}

// A file that cannot be opened is no proof of damage: it stays where it is and is not written
// over. A second damaged file does not replace the first one moved aside.
void TestTally::unreadableFileIsKeptAndEarlierDamageStays() {
    QTemporaryDir dir;
    const QString path = dir.filePath(TallyBook::fileName());
    QVERIFY(QDir(dir.path()).mkdir(TallyBook::fileName())); // opening a folder fails, even as root
    TallyBook book;
    QString note;
    QCOMPARE(book.load(path, &note), TallyBook::LoadResult::Unreadable);
    QVERIFY(note.contains(QStringLiteral("could not be read")));
    QVERIFY(!book.save(path));
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(!QFile::exists(path + QStringLiteral(".damaged")));

    QVERIFY(QDir(dir.path()).rmdir(TallyBook::fileName()));
    QVERIFY(writeFile(path, "first"));
    QCOMPARE(book.load(path), TallyBook::LoadResult::Damaged);
    QVERIFY(writeFile(path, "second"));
    QCOMPARE(book.load(path), TallyBook::LoadResult::Damaged);
    QCOMPARE(readFile(path + QStringLiteral(".damaged")), QByteArray("first"));
    QCOMPARE(readFile(path + QStringLiteral(".damaged.1")), QByteArray("second"));
    QVERIFY(book.save(path));
}

// Like every side window, the tally opens over the main window, wherever that is.
void TestTally::opensOverTheMainWindow() {
    QWidget main;
    main.setGeometry(60, 50, 600, 480);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    TallyBook book;
    Ttallylist w(&book, &main);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QPoint off = w.frameGeometry().center() - main.frameGeometry().center();
    QVERIFY2(off.manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(off.x()).arg(off.y())));
}

QTEST_MAIN(TestTally)
#include "tst_tally.moc"
