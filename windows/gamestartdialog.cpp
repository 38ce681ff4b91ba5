// SPDX-License-Identifier: MIT
#include "windows/gamestartdialog.h"

#include "widgets/cardart.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <algorithm>

namespace vrako {
namespace {

// The tick box picture, 38 x 32: a rounded box, with a green tick when chosen.
QIcon tickBox(bool ticked, qreal dpr) {
    QPixmap pix(QSize(38, 32) * dpr);
    pix.setDevicePixelRatio(dpr);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 70, 90), 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(8, 5, 22, 22), 4, 4);
    if (ticked) {
        QPainterPath tick;
        tick.moveTo(12, 16);
        tick.lineTo(18, 22);
        tick.lineTo(29, 7);
        p.setPen(QPen(QColor(30, 150, 60), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
    return QIcon(pix);
}

} // namespace

GameStartDialog::GameStartDialog(QWidget* parent)
    : SideWindow("Tgamestart", QStringLiteral("Vrako - Game Start"), QSize(255, 188), parent) {
    setWindowFlag(Qt::Tool);
    setTiledBackground(true);
    QFont heading(QStringLiteral("Arial"));
    heading.setPixelSize(18);
    heading.setBold(true);
    QFont text(QStringLiteral("Arial"));
    text.setPixelSize(13);
    text.setBold(true);

    auto* title = new QLabel(QStringLiteral("Game Options"), this);
    title->setFont(heading);
    title->setGeometry(0, 8, 255, 24);
    title->setAlignment(Qt::AlignCenter);

    auto* scoreLabel = new QLabel(QStringLiteral("Play To Score:"), this);
    scoreLabel->setFont(text);
    scoreLabel->setGeometry(16, 42, 120, 22);
    m_score = new QLineEdit(QStringLiteral("20"), this);
    m_score->setObjectName(QStringLiteral("edit_playtoscore"));
    m_score->setReadOnly(true);
    m_score->setGeometry(150, 42, 44, 22);
    m_score->setAlignment(Qt::AlignCenter);
    auto* spinner = new QWidget(this);
    spinner->setObjectName(QStringLiteral("UpDown1"));
    spinner->setGeometry(196, 42, 18, 22);
    auto* up = new QToolButton(spinner);
    up->setObjectName(QStringLiteral("UpDown1_up"));
    up->setArrowType(Qt::UpArrow);
    up->setGeometry(0, 0, 18, 11);
    up->setAccessibleName(QStringLiteral("Higher score"));
    auto* down = new QToolButton(spinner);
    down->setObjectName(QStringLiteral("UpDown1_down"));
    down->setArrowType(Qt::DownArrow);
    down->setGeometry(0, 11, 18, 11);
    down->setAccessibleName(QStringLiteral("Lower score"));
    connect(up, &QToolButton::clicked, this, &GameStartDialog::stepUp);
    connect(down, &QToolButton::clicked, this, &GameStartDialog::stepDown);

    auto makeBox = [&](const char* name, const QString& caption, int top) {
        auto* label = new QLabel(caption, this);
        label->setFont(text);
        label->setGeometry(16, top + 6, 140, 20);
        auto* box = new QToolButton(this);
        box->setObjectName(QLatin1String(name));
        box->setGeometry(150, top, 38, 32);
        box->setIconSize(QSize(38, 32));
        box->setAutoRaise(true);
        box->setAccessibleName(caption);
        return box;
    };
    m_boxDifferent = makeBox("box_different", QStringLiteral("One More/Less Play:"), 70);
    m_boxSame = makeBox("box_same", QStringLiteral("Same Number Play:"), 102);
    connect(m_boxDifferent, &QToolButton::clicked, this, [this] { box_sameClick(false); });
    connect(m_boxSame, &QToolButton::clicked, this, [this] { box_sameClick(true); });
    m_typeLabel = new QLabel(this);
    m_typeLabel->setObjectName(QStringLiteral("label_gametype"));
    m_typeLabel->hide();

    auto* start = new QToolButton(this);
    start->setObjectName(QStringLiteral("button_start"));
    start->setGeometry(14, 146, 138, 31);
    start->setIcon(QIcon(art::startButton(devicePixelRatioF())));
    start->setIconSize(QSize(138, 31));
    start->setAutoRaise(true);
    start->setAccessibleName(QStringLiteral("Start Game"));
    connect(start, &QToolButton::clicked, this, &GameStartDialog::button_startClick);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("button_cancel"));
    cancel->setGeometry(164, 147, 78, 29);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    // A tool window is no dialog: Escape must be taught to close it.
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this,
            &QWidget::close);
    changebox(GameType::OneMoreOrLess);
    // Light text on the felt, as on the table; the spinner keeps its dark arrows.
    for (QLabel* label : findChildren<QLabel*>()) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, QColor(242, 250, 143));
        label->setPalette(pal);
    }
}

QString GameStartDialog::playToScore() const {
    return m_score->text();
}

void GameStartDialog::setPlayToScore(const QString& text) {
    m_score->setText(text);
}

void GameStartDialog::step(int delta) {
    bool ok = false;
    const int value = m_score->text().toInt(&ok);
    const int next = std::clamp((ok ? value : 20) + delta, 10, 30);
    m_score->setText(QString::number(next));
}

void GameStartDialog::changebox(GameType type) {
    m_type = type;
    const bool same = type == GameType::SameNumber;
    m_typeLabel->setToolTip(QString(QLatin1Char(letterOf(type))));
    const qreal dpr = devicePixelRatioF();
    m_boxSame->setIcon(tickBox(same, dpr));
    m_boxDifferent->setIcon(tickBox(!same, dpr));
    m_boxSame->setProperty("ticked", same);
    m_boxDifferent->setProperty("ticked", !same);
}

void GameStartDialog::button_startClick() {
    emit startRequested(m_score->text().toInt(), m_type);
    hide();
}

} // namespace vrako
