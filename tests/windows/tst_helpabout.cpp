// SPDX-License-Identifier: MIT
// The help window's page buttons and the about window's labels and clicks.
#include "windows/tabout.h"
#include "windows/thelp.h"

#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QTextBrowser>

using namespace vrako;

class TestHelpAbout : public QObject {
    Q_OBJECT
private slots:
    void helpButtonsBringTheirPages();
    void aboutWindow();
};

void TestHelpAbout::helpButtonsBringTheirPages() {
    Thelp help;
    QCOMPARE(help.windowTitle(), QStringLiteral("Vrako - Help File"));
    QVERIFY(help.hasTiledBackground());
    const QString year = QString::number(QDate::currentDate().year());
    QCOMPARE(help.findChild<QLabel*>(QStringLiteral("label_year"))->text(), year);
    auto* caption = help.findChild<QLabel*>(QStringLiteral("label_caption"));
    QCOMPARE(help.currentPage(), 1);
    QCOMPARE(caption->text(), QStringLiteral("Overview"));

    const QList<std::pair<int, const char*>> buttons{
        {2, "Connecting"}, {3, "Game Play"},  {4, "Scoring"}, {5, "Documentation"},
        {6, "License"},    {11, "The Lobby"}, {1, "Overview"}};
    help.show();
    for (const auto& [tag, name] : buttons) {
        const QString text = QString::fromUtf8(name);
        auto* button = help.findChild<QPushButton*>(QStringLiteral("SelButton%1").arg(tag));
        QVERIFY(button);
        QCOMPARE(button->text(), text);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(help.currentPage(), tag);
        QCOMPARE(caption->text(), text);
        auto* memo = help.findChild<QTextBrowser*>(QStringLiteral("memo%1").arg(tag));
        QVERIFY(memo->isVisible());
        QVERIFY(memo->isReadOnly());
        QVERIFY(memo->toPlainText().size() > 200);
    }
    QVERIFY(help.findChild<QTextBrowser*>(QStringLiteral("memo6"))
                ->toPlainText()
                .contains(QStringLiteral("MIT License")));
    QVERIFY(help.findChild<QTextBrowser*>(QStringLiteral("memo2"))
                ->toPlainText()
                .contains(QStringLiteral("7772")));

    QSignalSpy about(&help, &Thelp::aboutRequested);
    help.findChild<QPushButton*>(QStringLiteral("button_about"))->click();
    QCOMPARE(about.count(), 1);
    QCOMPARE(help.currentPage(), 1);
    help.findChild<QPushButton*>(QStringLiteral("button_done"))->click();
    QVERIFY(!help.isVisible());
}

void TestHelpAbout::aboutWindow() {
    Tabout about;
    QCOMPARE(about.windowTitle(), QStringLiteral("Vrako - About"));
    QVERIFY(about.hasTiledBackground());
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("version"))->text(), QStringLiteral("1.0.17"));
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("label_build"))->text(), QStringLiteral(".4"));
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("label_year"))->text(),
             QString::number(QDate::currentDate().year()));
    QList<QUrl> opened;
    about.setOpener([&](const QUrl& u) {
        opened.append(u);
        return true;
    });
    about.show();
    QTest::mouseClick(about.findChild<QLabel*>(QStringLiteral("Label9")), Qt::LeftButton);
    QCOMPARE(opened, QList<QUrl>{Tabout::website()});
    QCOMPARE(Tabout::website().scheme(), QStringLiteral("https"));
    QTest::mouseClick(about.findChild<QLabel*>(QStringLiteral("Image1")), Qt::LeftButton);
    QVERIFY(!about.isVisible());
    about.show();
    QCOMPARE(about.findChild<QPushButton*>(QStringLiteral("button_ok"))->text(),
             QStringLiteral("DONE"));
    about.findChild<QPushButton*>(QStringLiteral("button_ok"))->click();
    QVERIFY(!about.isVisible());
}

QTEST_MAIN(TestHelpAbout)
#include "tst_helpabout.moc"
