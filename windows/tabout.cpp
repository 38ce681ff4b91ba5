// SPDX-License-Identifier: MIT
#include "windows/tabout.h"

#include "widgets/cardart.h"

#include <QDate>
#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace vrako {
namespace {

// A fan of three cards: Vrako between a blue 7 and a red 12.
QPixmap cardFan(qreal dpr) {
    const QSize size(120, 110);
    QPixmap pix(size * dpr);
    pix.setDevicePixelRatio(dpr);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const int codes[3] = {11, 40, 0};
    const qreal angles[3] = {-18, 18, 0};
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(60, 100);
        p.rotate(angles[i]);
        p.drawPixmap(QRectF(-26.5, -90, 53, 77), art::cardFace(codes[i], dpr),
                     QRectF(QPointF(0, 0), QSizeF(art::kCardSize) * dpr));
        p.restore();
    }
    return pix;
}

} // namespace

Tabout::Tabout(QWidget* parent)
    : SideWindow("Tabout", QStringLiteral("Vrako - About"), QSize(360, 260), parent),
      m_opener([](const QUrl& address) { return QDesktopServices::openUrl(address); }) {
    setTiledBackground(true);
    const QString light = QStringLiteral("color: rgb(230, 232, 236); font: 13px Arial;");
    const QString yellow = QStringLiteral("color: rgb(242, 250, 143); font: bold 28px Arial;");

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(16, 18, 120, 110);
    image->setPixmap(cardFan(devicePixelRatioF()));
    image->installEventFilter(this);
    m_image = image;

    auto* title = new QLabel(QStringLiteral("Vrako"), this);
    title->setGeometry(156, 18, 190, 36);
    title->setStyleSheet(yellow);
    auto* version = new QLabel(QStringLiteral("1.0.17"), this);
    version->setObjectName(QStringLiteral("version"));
    version->setGeometry(158, 58, 50, 20);
    version->setStyleSheet(light);
    version->adjustSize();
    auto* build = new QLabel(QStringLiteral(".4"), this);
    build->setObjectName(QStringLiteral("label_build"));
    build->move(version->geometry().right() + 1, 58);
    build->setStyleSheet(light);
    build->adjustSize();

    auto* credits = new QLabel(QStringLiteral("by Dovi42 Software\nfor the Linux desktop"), this);
    credits->setGeometry(158, 84, 190, 36);
    credits->setStyleSheet(light);
    auto* copyright = new QLabel(QStringLiteral("Copyright ©"), this);
    copyright->setStyleSheet(light);
    copyright->move(158, 122);
    copyright->adjustSize();
    auto* year = new QLabel(QString::number(QDate::currentDate().year()), this);
    year->setObjectName(QStringLiteral("label_year"));
    year->setStyleSheet(light);
    year->move(copyright->geometry().right() + 5, 122);
    year->adjustSize();

    auto* link = new QLabel(website().host(), this);
    link->setObjectName(QStringLiteral("Label9"));
    link->setGeometry(16, 150, 328, 22);
    link->setAlignment(Qt::AlignCenter);
    link->setCursor(Qt::PointingHandCursor);
    link->setStyleSheet(QStringLiteral("color: rgb(140, 190, 255); font: underline 14px Arial;"));
    link->installEventFilter(this);
    m_link = link;

    auto* done = new QPushButton(QStringLiteral("DONE"), this);
    done->setObjectName(QStringLiteral("button_ok"));
    done->setGeometry(120, 206, 120, 34);
    done->setDefault(true);
    connect(done, &QPushButton::clicked, this, &Tabout::button_okClick);
}

QUrl Tabout::website() {
    return QUrl(QStringLiteral("https://dovi42.example/"));
}

void Tabout::Label9Click() {
    m_opener(website());
}

bool Tabout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_link) {
            Label9Click();
            return true;
        }
        if (watched == m_image) {
            Image1Click();
            return true;
        }
    }
    return SideWindow::eventFilter(watched, event);
}

} // namespace vrako
