// SPDX-License-Identifier: MIT
#include "windows/thelp.h"

#include "windows/helppages.h"

#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>

namespace vrako {

Thelp::Thelp(QWidget* parent)
    : SideWindow("Thelp", QStringLiteral("Vrako - Help File"), QSize(560, 400), parent) {
    setTiledBackground(true);
    const QString light = QStringLiteral("color: rgb(230, 232, 236); font: 12px Arial;");

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("label_caption"));
    m_caption->setGeometry(152, 8, 398, 26);
    m_caption->setStyleSheet(QStringLiteral("color: rgb(242, 250, 143); font: bold 18px Arial;"));
    m_pages = new QStackedWidget(this);
    m_pages->setGeometry(152, 38, 398, 352);

    int y = 10;
    const auto addButton = [&](const QString& caption, const QString& name, int tag) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setProperty("Tag", tag);
        button->setGeometry(10, y, 130, 28);
        y += 32;
        return button;
    };
    for (const HelpPage& page : helpPages()) {
        auto* memo = new QTextBrowser(m_pages);
        memo->setObjectName(QStringLiteral("memo%1").arg(page.tag));
        memo->setProperty("caption", page.caption);
        memo->setOpenLinks(false);
        memo->setHtml(page.html);
        m_pages->addWidget(memo);
        auto* button =
            addButton(page.caption, QStringLiteral("SelButton%1").arg(page.tag), page.tag);
        connect(button, &QPushButton::clicked, this,
                [this, tag = page.tag] { SelButton1Click(tag); });
    }
    connect(addButton(QStringLiteral("About"), QStringLiteral("button_about"), 10),
            &QPushButton::clicked, this, &Thelp::button_aboutClick);
    connect(addButton(QStringLiteral("DONE"), QStringLiteral("button_done"), 10),
            &QPushButton::clicked, this, &Thelp::button_doneClick);

    auto* credits = new QLabel(QStringLiteral("Vrako 1.0.17\nDovi42 Software"), this);
    credits->setGeometry(10, y + 2, 130, 34);
    credits->setStyleSheet(light);
    auto* copyright = new QLabel(QStringLiteral("Copyright ©"), this);
    copyright->setStyleSheet(light);
    copyright->move(10, y + 38);
    copyright->adjustSize();
    auto* year = new QLabel(QString::number(QDate::currentDate().year()), this);
    year->setObjectName(QStringLiteral("label_year"));
    year->setStyleSheet(light);
    year->move(copyright->geometry().right() + 5, y + 38);
    year->adjustSize();

    SelButton1Click(1);
}

void Thelp::SelButton1Click(int tag) {
    auto* memo = m_pages->findChild<QTextBrowser*>(QStringLiteral("memo%1").arg(tag));
    if (!memo)
        return;
    m_pages->setCurrentWidget(memo);
    m_caption->setText(memo->property("caption").toString());
}

int Thelp::currentPage() const {
    const QString name = m_pages->currentWidget()->objectName();
    return name.mid(4).toInt();
}

} // namespace vrako
