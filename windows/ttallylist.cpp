// SPDX-License-Identifier: MIT
#include "windows/ttallylist.h"

#include "store/tallybook.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

namespace vrako {
namespace {

QLabel* addLabel(QWidget* parent, const QString& text, QRect geometry, const char* name = nullptr,
                 Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* label = new QLabel(text, parent);
    // Player names come from other people: never read them as markup.
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    label->setAlignment(align);
    if (name)
        label->setObjectName(QLatin1String(name));
    return label;
}

bool askYesNo(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Vrako - Tally List"), question,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace

Ttallylist::Ttallylist(TallyBook* book, QWidget* parent)
    : SideWindow("Ttallylist", QStringLiteral("Vrako - Tally List"), QSize(468, 365), parent),
      m_book(book), m_confirm(askYesNo) {
    setWindowFlag(Qt::Tool);
    QFont bold = font();
    bold.setBold(true);

    auto* mine = new QGroupBox(QStringLiteral("Your Total Tally"), this);
    mine->setGeometry(10, 6, 210, 66);
    addLabel(mine, QStringLiteral("Total Games:"), {12, 22, 100, 18});
    m_myGames = addLabel(mine, QStringLiteral("0"), {120, 22, 80, 18}, "mylabel_1");
    addLabel(mine, QStringLiteral("Your Wins"), {12, 42, 100, 18});
    m_myWins = addLabel(mine, QStringLiteral("0"), {120, 42, 80, 18}, "mylabel_2");
    m_myGames->setFont(bold);
    m_myWins->setFont(bold);

    addLabel(this, QStringLiteral("Players In Current Game"), {12, 78, 206, 18});
    m_checklist = new QListWidget(this);
    m_checklist->setObjectName(QStringLiteral("checklist"));
    m_checklist->setGeometry(10, 96, 210, 98);
    addLabel(this, QStringLiteral("Players Being Tallied"), {12, 200, 206, 18});
    m_tallied = new QListWidget(this);
    m_tallied->setObjectName(QStringLiteral("listbox_tally"));
    m_tallied->setGeometry(10, 218, 210, 137);

    auto* his = new QGroupBox(this);
    his->setGeometry(232, 6, 226, 168);
    m_hisNameTop = addLabel(his, QString(), {10, 10, 206, 22}, "label_hisnametop");
    QFont heading = bold;
    heading.setPointSizeF(heading.pointSizeF() * 1.2);
    m_hisNameTop->setFont(heading);
    addLabel(his, QStringLiteral("Total"), {124, 38, 44, 18}, nullptr, Qt::AlignCenter)
        ->setFont(bold);
    addLabel(his, QStringLiteral("Session"), {172, 38, 50, 18}, nullptr, Qt::AlignCenter)
        ->setFont(bold);
    addLabel(his, QStringLiteral("Number of Games"), {10, 62, 112, 18});
    m_hisName = addLabel(his, QString(), {10, 86, 112, 18}, "label_hisname");
    addLabel(his, QStringLiteral("Your Wins:"), {10, 110, 112, 18});
    addLabel(his, QStringLiteral("Neither Won:"), {10, 134, 112, 18});
    for (int i = 0; i < 8; ++i) {
        const QByteArray name = "label_" + QByteArray::number(i + 1);
        const int x = i < 4 ? 124 : 172;
        const int y = 62 + (i % 4) * 24;
        m_numbers[i] = addLabel(his, QStringLiteral("0"), {x, y, i < 4 ? 44 : 50, 18},
                                name.constData(), Qt::AlignCenter);
    }

    auto* hint = addLabel(this,
                          QStringLiteral("Tick a player in the current game to keep a tally of "
                                         "your games together. Untick a tallied player to "
                                         "delete that tally."),
                          {234, 182, 222, 120}, nullptr, Qt::AlignLeft | Qt::AlignTop);
    hint->setWordWrap(true);

    auto* reset = new QPushButton(QStringLiteral("Reset Tally"), this);
    reset->setObjectName(QStringLiteral("button_reset"));
    reset->setGeometry(232, 322, 110, 32);
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("button_ok"));
    ok->setGeometry(348, 322, 110, 32);
    ok->setDefault(true);

    connect(reset, &QPushButton::clicked, this, &Ttallylist::resetTally);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    connect(m_checklist, &QListWidget::itemChanged, this, &Ttallylist::currentGameItemChanged);
    connect(m_tallied, &QListWidget::itemChanged, this, &Ttallylist::talliedItemChanged);
    connect(m_tallied, &QListWidget::currentRowChanged, this, &Ttallylist::showPlayer);
    connect(m_book, &TallyBook::changed, this, &Ttallylist::refresh);
    refresh();
}

void Ttallylist::loadchecklist(const QStringList& othersAtTable) {
    m_filling = true;
    m_checklist->clear();
    for (const QString& name : othersAtTable) {
        auto* item = new QListWidgetItem(name, m_checklist);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(m_book->isTallied(name) ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
}

void Ttallylist::addgame(const QString& winner, const QStringList& othersAtTable) {
    loadchecklist(othersAtTable);
    m_book->addgame(winner, othersAtTable);
}

void Ttallylist::gameWon(int mySeat, int winnerSeat, const QStringList& seatNames) {
    // A spectator's games are not the player's own.
    if (mySeat < 1 || mySeat > 4 || winnerSeat < 1 || winnerSeat > seatNames.size())
        return;
    addgame(winnerSeat == mySeat ? TallyBook::mine() : seatNames[winnerSeat - 1],
            TallyBook::playersInCurrentGame(mySeat, seatNames));
}

void Ttallylist::resetTally() {
    if (!m_confirm(this, QStringLiteral("Are you sure you want to reset the Tally?")))
        return;
    m_book->reset();
    for (QLabel* label : m_numbers)
        label->setText(QStringLiteral("0"));
}

void Ttallylist::showPlayer(int index) {
    const int row = index + 1;
    if (index < 0 || row >= m_book->rowCount()) {
        // Nobody chosen: no name, and no numbers of a player no longer shown.
        for (QLabel* label : m_numbers)
            label->setText(QStringLiteral("0"));
        m_hisName->setText(QStringLiteral("Wins:"));
        m_hisNameTop->clear();
        return;
    }
    const QString name = m_book->cell(row, 0);
    for (int i = 0; i < 8; ++i)
        m_numbers[i]->setText(m_book->cell(row, i + 1));
    m_hisName->setText(name + QStringLiteral(" Wins:"));
    m_hisNameTop->setText(name + QStringLiteral("'s Tally"));
}

void Ttallylist::refresh() {
    m_myGames->setText(m_book->cell(0, 1));
    m_myWins->setText(m_book->cell(0, 2));
    const QStringList names = m_book->names();
    QStringList shown;
    for (int i = 0; i < m_tallied->count(); ++i)
        shown.append(m_tallied->item(i)->text());
    if (shown != names) {
        const int current = m_tallied->currentRow();
        m_filling = true;
        m_tallied->clear();
        for (const QString& name : names) {
            auto* item = new QListWidgetItem(name, m_tallied);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
        }
        m_tallied->setCurrentRow(std::min(current, static_cast<int>(names.size()) - 1));
        m_filling = false;
        // Ticks in the current game follow the tally.
        for (int i = 0; i < m_checklist->count(); ++i) {
            QListWidgetItem* item = m_checklist->item(i);
            m_filling = true;
            item->setCheckState(m_book->isTallied(item->text()) ? Qt::Checked : Qt::Unchecked);
            m_filling = false;
        }
    }
    showPlayer(m_tallied->currentRow());
}

void Ttallylist::currentGameItemChanged(QListWidgetItem* item) {
    if (m_filling)
        return;
    m_book->addPlayer(item->text());
    // Unticking a tallied name changes nothing, so the tick comes back.
    m_filling = true;
    item->setCheckState(m_book->isTallied(item->text()) ? Qt::Checked : Qt::Unchecked);
    m_filling = false;
}

void Ttallylist::talliedItemChanged(QListWidgetItem* item) {
    if (m_filling || item->checkState() == Qt::Checked)
        return;
    const QString name = item->text();
    if (m_confirm(this, QStringLiteral("This will delete ") + name +
                            QStringLiteral("'s Tally, Are you want to delete it?"))) {
        // The list is rebuilt when the row goes, so not inside this item's own signal.
        QMetaObject::invokeMethod(
            this, [this, name] { m_book->removeRow(m_book->rowOf(name)); }, Qt::QueuedConnection);
    } else {
        m_filling = true;
        item->setCheckState(Qt::Checked);
        m_filling = false;
    }
}

} // namespace vrako
