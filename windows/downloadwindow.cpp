// SPDX-License-Identifier: MIT
#include "windows/downloadwindow.h"

#include "widgets/cardart.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace vrako {

DownloadWindow::DownloadWindow(QWidget* parent)
    : SideWindow("Tdownload", QStringLiteral("Download The Dovi42 Lobby"), QSize(420, 300),
                 parent) {
    auto* title = new QLabel(QStringLiteral("Play Vrako with others"), this);
    title->setGeometry(20, 18, 380, 28);
    title->setStyleSheet(QStringLiteral("color: rgb(242, 250, 143); font: bold 20px Arial;"));
    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("infolabel"));
    text->setGeometry(20, 56, 380, 150);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setStyleSheet(QStringLiteral("color: rgb(230, 232, 236); font: 14px Arial;"));
    text->setText(QStringLiteral(
        "You are playing a solo game against Klot, Klitz and Kling.\n\n"
        "Games with other people are hosted and joined through the Dovi42 Lobby, which starts "
        "Vrako for every player at the table."));
    auto* solo = new QPushButton(QStringLiteral("Play Solo Game"), this);
    solo->setObjectName(QStringLiteral("Button1"));
    solo->setGeometry(20, 240, 180, 36);
    solo->setDefault(true);
    connect(solo, &QPushButton::clicked, this, &DownloadWindow::Button1Click);
    auto* others = new QPushButton(QStringLiteral("Play with Others"), this);
    others->setObjectName(QStringLiteral("Button2"));
    others->setGeometry(220, 240, 180, 36);
    connect(others, &QPushButton::clicked, this, &DownloadWindow::Button2Click);
}

void DownloadWindow::Button2Click() {
    emit messageWanted(QStringLiteral(
        "Please close the game and open the Dovi42 Lobby using the icon on your desktop or using "
        "the your Window's start-up menu."));
}

void DownloadWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(36, 43, 55));
    p.drawTiledPixmap(rect(), art::backgroundTile(devicePixelRatioF()));
}

} // namespace vrako
