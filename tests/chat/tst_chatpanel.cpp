// SPDX-License-Identifier: MIT
#include "chat/chatedit.h"
#include "chat/chatpanel.h"
#include "chat/weblink.h"
#include "widgets/richtextview.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace vrako;

namespace {

// Items of a paragraph: text as is, links as "<text>", pictures as "[n]", and any text item
// whose style is not `style` as "{s}text".
QStringList itemsOf(RichTextView* view, int para, int style) {
    QStringList out;
    for (const RichItem& item : view->paragraph(para).items) {
        if (item.isPicture()) {
            out << QStringLiteral("[%1]").arg(item.pictureNo);
        } else if (item.style == 4) {
            out << QStringLiteral("<%1>").arg(item.text);
        } else if (item.style != style) {
            out << QStringLiteral("{%1}%2").arg(item.style).arg(item.text);
        } else {
            out << item.text;
        }
    }
    return out;
}

} // namespace

class TestChatPanel : public QObject {
    Q_OBJECT

private:
    // A panel whose link opening and notices are recorded instead of shown.
    struct Fixture {
        ChatPanel panel;
        QList<QUrl> opened;
        QStringList notices;
        Fixture() {
            panel.setUrlOpener([this](const QUrl& url) {
                opened << url;
                return true;
            });
            panel.setNotifier([this](const QString& text) { notices << text; });
        }
    };

private slots:
    void namesItsComponents() {
        ChatPanel panel;
        for (const char* name :
             {"FlatPanel1", "mainchat", "mychat", "button_smilies", "popup_smilies", "PopupMenu1",
              "PopupMenu2", "ScrollChatOff1", "ClearMainChat1"}) {
            QVERIFY2(panel.findChild<QObject*>(QLatin1StringView(name)), name);
        }
        QCOMPARE(panel.mainchat()->size(), QSize(641, 113));
        QCOMPARE(panel.mychat()->accessibleName(), QStringLiteral("Chat entry"));
        QCOMPARE(panel.buttonSmilies()->accessibleName(), QStringLiteral("Smilies"));
        QCOMPARE(panel.mychat()->text(), QStringLiteral("<Enter Chat Here>"));
        QCOMPARE(panel.chatlinkno(), -1);
    }

    // What the typed line becomes: "chat:" or "action:" and the text handed on, or nothing.
    void sends_data() {
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("left");
        QTest::newRow("plain") << true << "hello there"
                               << "chat:hello there"
                               << "";
        QTest::newRow("unchanged") << true << " a+b|c "
                                   << "chat: a+b|c "
                                   << "";
        QTest::newRow("spaces") << true << "   "
                                << "chat:   "
                                << "";
        QTest::newRow("utf8") << true << QStringLiteral("grüß 😀") << QStringLiteral("chat:grüß 😀")
                              << "";
        QTest::newRow("action") << true << "/me waves"
                                << "action:waves"
                                << "";
        QTest::newRow("action glued") << true << "/mewaves"
                                      << "action:aves"
                                      << "";
        QTest::newRow("action astral") << true << QStringLiteral("/me😀x") << "action:x"
                                       << "";
        QTest::newRow("action bare") << true << "/me"
                                     << "action:"
                                     << "";
        QTest::newRow("upper me") << true << "/ME waves"
                                  << ""
                                  << "";
        QTest::newRow("help") << true << "/help"
                              << ""
                              << "";
        QTest::newRow("empty") << true << ""
                               << ""
                               << "";
        QTest::newRow("not logged in") << false << "hello"
                                       << ""
                                       << "hello";
    }

    void sends() {
        QFETCH(bool, loggedIn);
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        QFETCH(QString, left);
        ChatPanel panel;
        panel.setReadiness([loggedIn] { return loggedIn; });
        panel.setChatColour(0x123456);
        QStringList out;
        connect(&panel, &ChatPanel::chatWanted, this, [&](const QString& t, quint32 c) {
            QCOMPARE(c, 0x123456u);
            out.append(QStringLiteral("chat:") + t);
        });
        connect(&panel, &ChatPanel::actionWanted, this, [&](const QString& t, quint32 c) {
            QCOMPARE(c, 0x123456u);
            out.append(QStringLiteral("action:") + t);
        });
        panel.mychat()->setText(typed);
        panel.sendit();
        QCOMPARE(out, sent.isEmpty() ? QStringList() : QStringList{sent});
        QCOMPARE(panel.mychat()->text(), left);
    }

    void entryFieldTyping() {
        ChatPanel panel;
        panel.setReadiness([] { return true; });
        panel.setChatColour(0x008000);
        QCOMPARE(panel.mychat()->palette().color(QPalette::Text), QColor(0, 128, 0));
        QSignalSpy spy(&panel, &ChatPanel::chatWanted);
        // Enter on the hint clears it and sends nothing.
        QTest::keyClick(panel.mychat(), Qt::Key_Return);
        QCOMPARE(spy.size(), 0);
        QCOMPARE(panel.mychat()->text(), QString());
        panel.mychat()->setText(ChatEdit::hintText());
        QTest::keyClicks(panel.mychat(), QStringLiteral("hi"));
        QCOMPARE(panel.mychat()->text(), QStringLiteral("hi"));
        QTest::keyClick(panel.mychat(), Qt::Key_Enter);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("hi"));
        QCOMPARE(spy.at(0).at(1).value<quint32>(), 0x008000u);
        QCOMPARE(panel.mychat()->text(), QString());
    }

    void pastesAtTheEnd() {
        ChatPanel panel;
        QApplication::clipboard()->setText(QStringLiteral("pasted\ntext"));
        // The hint stays when pasting.
        QTest::keyClick(panel.mychat(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(panel.mychat()->text(), QStringLiteral("<Enter Chat Here>pasted text"));
        panel.mychat()->setText(QStringLiteral("abc"));
        panel.mychat()->setCursorPosition(0);
        panel.mychat()->selectAll();
        QAction* paste = panel.mychat()->popupMenu()->actions().value(0);
        QVERIFY(paste);
        QCOMPARE(paste->text(), QStringLiteral("Paste"));
        paste->trigger();
        QCOMPARE(panel.mychat()->text(), QStringLiteral("abcpasted text"));
        QCOMPARE(panel.mychat()->cursorPosition(), 14);
        QVERIFY(!panel.mychat()->hasSelectedText());
    }

    void insertsSmilies() {
        ChatPanel panel;
        const QList<QAction*> entries = panel.popupSmilies()->actions();
        QCOMPARE(entries.size(), 18);
        QCOMPARE(entries.first()->text(), QStringLiteral(":)#10"));
        QCOMPARE(entries.last()->text(), QStringLiteral(":)#27"));
        QCOMPARE(panel.imagelistSmilies().size(), 18);
        QCOMPARE(panel.imagelistSmilies().at(17).deviceIndependentSize(), QSizeF(17, 16));
        entries.at(2)->trigger();
        QCOMPARE(panel.mychat()->text(), QStringLiteral(":)#12"));
        entries.at(17)->trigger();
        QCOMPARE(panel.mychat()->text(), QStringLiteral(":)#12:)#27"));
        QCOMPARE(panel.mychat()->cursorPosition(), 10);
    }

    void showsLines_data() {
        QTest::addColumn<QString>("received");
        QTest::addColumn<int>("style");
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("chat") << "1+Alice chats: hello world|clRed" << 6 << 0x0000FFu
                              << QStringList{"Alice chats: ", " ", "hello ", "world "};
        QTest::newRow("action") << "3+Carol waves|clNavy" << 8 << 0x800000u
                                << QStringList{" ", "Carol ", "waves "};
        QTest::newRow("spectator") << "9+Eve chats: x|$00123456" << 14 << 0x123456u
                                   << QStringList{"Eve chats: ", " ", "x "};
        QTest::newRow("bar in text")
            << "2+Bob chats: a|b|clRed" << 7 << 0xFFFFFFu << QStringList{"Bob chats: ", " ", "a "};
        QTest::newRow("no bar") << "2+Bob chats: hi" << 7 << 0xFFFFFFu
                                << QStringList{"Bob chats: ", " ", "hi "};
        QTest::newRow("bad colour")
            << "2+Bob chats: hi|clPink" << 7 << 0xFFFFFFu << QStringList{"Bob chats: ", " ", "hi "};
        QTest::newRow("decimal colour")
            << "2+B: hi|255" << 7 << 0xFFu << QStringList{"B: ", " ", "hi "};
        QTest::newRow("system colour")
            << "2+B: hi|clHighlight" << 7 << 0xFF9933u << QStringList{"B: ", " ", "hi "};
        QTest::newRow("smiley") << "1+Alice chats: hi :)#12 there|clRed" << 6 << 0x0000FFu
                                << QStringList{"Alice chats: ", " ", "hi ",   " ",
                                               "[2]",           " ", "there "};
        QTest::newRow("last smiley")
            << "1+A::)#27|clRed" << 6 << 0x0000FFu << QStringList{"A: ", " ", "[17]"};
        QTest::newRow("not digits") << "1+A: :)#9x y|clRed" << 6 << 0x0000FFu
                                    << QStringList{"A: ", " ", " ", "[0]", " ", "y "};
        QTest::newRow("out of range")
            << "1+A: :)#99|clRed" << 6 << 0x0000FFu << QStringList{"A: ", " ", " ", "[0]"};
        QTest::newRow("short code")
            << "1+A: x:)#1|clRed" << 6 << 0x0000FFu << QStringList{"A: ", " ", "x ", "[0]"};
        QTest::newRow("link") << "1+A: see (www.x.org/a), ok|clRed" << 6 << 0x0000FFu
                              << QStringList{"A: ", " ", "see ", "<(www.x.org/a), >", "ok "};
        QTest::newRow("link upper") << "1+A: HTTP://X.ORG|clRed" << 6 << 0x0000FFu
                                    << QStringList{"A: ", " ", "<HTTP://X.ORG >"};
        QTest::newRow("https alone is no link") << "1+A: https://x.org|clRed" << 6 << 0x0000FFu
                                                << QStringList{"A: ", " ", "https://x.org "};
        QTest::newRow("no plus") << "hello: there|clRed" << 0 << 0x0000FFu
                                 << QStringList{"hello: ", " ", "there "};
        QTest::newRow("prefix not a seat")
            << "42+X: y|clRed" << 0 << 0x0000FFu << QStringList{"X: ", " ", "y "};
    }

    void showsLines() {
        QFETCH(QString, received);
        QFETCH(int, style);
        QFETCH(quint32, colour);
        QFETCH(QStringList, items);
        ChatPanel panel;
        panel.chatrecieved(received);
        RichTextView* view = panel.mainchat();
        QCOMPARE(view->paragraphCount(), 1);
        QCOMPARE(itemsOf(view, 0, style), items);
        QCOMPARE(view->styles()->style(style).colour, colour);
        QVERIFY(view->styles()->style(style).bold);
        QVERIFY(!view->styles()->style(style).underline);
    }

    void systemLinesShareOneStyle() {
        ChatPanel panel;
        panel.addlinetochat(QStringLiteral("0+You are Connected."), 0xFF0000);
        panel.addlinetochat(QStringLiteral("1+Ann chats: hi"), 0x0000FF);
        panel.addlinetochat(QStringLiteral("0+Bob disconnected."), 0x808080);
        RichTextView* view = panel.mainchat();
        QCOMPARE(view->paragraphCount(), 3);
        QCOMPARE(itemsOf(view, 0, 0), (QStringList{" ", "You ", "are ", "Connected. "}));
        QCOMPARE(itemsOf(view, 2, 0), (QStringList{" ", "Bob ", "disconnected. "}));
        // The grey notice turns the earlier blue one grey; the seat's style keeps its colour.
        QCOMPARE(view->styles()->colour(view->paragraph(0).items.at(1).style),
                 QColor(128, 128, 128));
        QCOMPARE(view->styles()->colour(view->paragraph(1).items.at(0).style), QColor(255, 0, 0));
        // Links keep their own style's colour and underline.
        QCOMPARE(view->styles()->colour(4), QColor(0, 128, 0));
        QVERIFY(view->styles()->style(4).underline);
    }

    void opensOnlyWebAddresses_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("url");
        QTest::newRow("plain") << "http://x.org/a "
                               << "http://x.org/a";
        QTest::newRow("www") << "www.x.org   "
                             << "http://www.x.org";
        QTest::newRow("brackets and comma") << "(www.x.org/p?q=1), "
                                            << "http://www.x.org/p?q=1";
        QTest::newRow("quoted") << "\"http://x.org/\"."
                                << "http://x.org/";
        QTest::newRow("angle") << "<https://www.x.org>!"
                               << "https://www.x.org";
        QTest::newRow("upper") << "HTTP://X.ORG"
                               << "http://x.org";
        QTest::newRow("ftp") << "ftp://www.x.org"
                             << "";
        QTest::newRow("file") << "file:///etc/passwd#www."
                              << "";
        QTest::newRow("script") << "javascript:alert(1)//www.x"
                                << "";
        QTest::newRow("glued") << "seehttp://x.org"
                               << "";
        QTest::newRow("empty") << ""
                               << "";
    }

    void opensOnlyWebAddresses() {
        QFETCH(QString, word);
        QFETCH(QString, url);
        const QUrl result = webAddressOf(word);
        QCOMPARE(result.isValid(), !url.isEmpty());
        if (!url.isEmpty()) {
            QCOMPARE(result, QUrl(url));
        }
    }

    void clickOpensTheLink() {
        Fixture f;
        f.panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.panel));
        f.panel.chatrecieved(
            QStringLiteral("1+A chats: look www.one.org/x, and ftp://www.two.org|clRed"));
        RichTextView* view = f.panel.mainchat();
        QCOMPARE(view->linkCount(), 2);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->linkRect(0).center());
        QCOMPARE(f.opened, QList<QUrl>{QUrl(QStringLiteral("http://www.one.org/x"))});
        QVERIFY(f.notices.isEmpty());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->linkRect(1).center());
        QCOMPARE(f.opened.size(), 1);
        QCOMPARE(f.notices, QStringList{QStringLiteral("Cannot open Webpage")});
    }

    void linkTableWrapsAndClicksStayRight() {
        Fixture f;
        for (int i = 0; i < 102; ++i) {
            f.panel.addlinetochat(QStringLiteral("1+A: www.site%1.org").arg(i), 0);
            if (i == 100) {
                QCOMPARE(f.panel.chatlinkno(), 100);
                QCOMPARE(f.panel.chatlinks()[100], QStringLiteral("www.site100.org "));
            }
        }
        QCOMPARE(f.panel.chatlinkno(), 1);
        QCOMPARE(f.panel.chatlinks()[0], QStringLiteral("www.site0.org "));
        QCOMPARE(f.panel.chatlinks()[1], QStringLiteral("www.site101.org "));
        // Link numbers of the view still reach their own addresses.
        f.panel.mainchatJump(1);
        f.panel.mainchatJump(101);
        QCOMPARE(f.opened, (QList<QUrl>{QUrl(QStringLiteral("http://www.site1.org")),
                                        QUrl(QStringLiteral("http://www.site101.org"))}));
        f.panel.mainchatJump(102);
        f.panel.mainchatJump(-1);
        QCOMPARE(f.notices.size(), 2);

        // Clearing keeps the table and the counter; the view numbers from 0 again.
        f.panel.clearMainChatAction()->trigger();
        QCOMPARE(f.panel.mainchat()->itemCount(), 0);
        QCOMPARE(f.panel.chatlinkno(), 1);
        f.panel.mainchatJump(5); // no link shown: the table entry is used
        QCOMPARE(f.opened.last(), QUrl(QStringLiteral("http://www.site5.org")));
        f.panel.addlinetochat(QStringLiteral("1+A: http://new.org"), 0);
        QCOMPARE(f.panel.chatlinkno(), 2);
        f.panel.mainchatJump(0);
        QCOMPARE(f.opened.last(), QUrl(QStringLiteral("http://new.org")));
    }

    void emptyTableEntryCannotOpen() {
        Fixture f;
        f.panel.mainchatJump(0);
        f.panel.mainchatJump(100);
        QCOMPARE(f.notices.size(), 2);
        QVERIFY(f.opened.isEmpty());
    }

    void scrollSwitchHoldsTheView() {
        ChatPanel panel;
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QScrollBar* bar = panel.mainchat()->verticalScrollBar();
        for (int i = 0; i < 20; ++i) {
            panel.addlinetochat(QStringLiteral("0+line %1").arg(i), 0xFF0000);
        }
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        QAction* off = panel.scrollChatOffAction();
        QCOMPARE(off->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QVERIFY(panel.popupMenu1()->actions().contains(off));
        off->trigger();
        QVERIFY(panel.isScrollOff());
        const int held = bar->value();
        const int oldMax = bar->maximum();
        for (int i = 0; i < 5; ++i) {
            panel.addlinetochat(QStringLiteral("0+more %1").arg(i), 0xFF0000);
        }
        QVERIFY(bar->maximum() > oldMax);
        QCOMPARE(bar->value(), held);
        off->trigger();
        panel.addlinetochat(QStringLiteral("0+last"), 0xFF0000);
        QCOMPARE(bar->value(), bar->maximum());
    }

    void copiesFromThePopupMenu() {
        ChatPanel panel;
        panel.chatrecieved(QStringLiteral("1+Ann chats: hi :)#12 there|clRed"));
        panel.addlinetochat(QStringLiteral("0+Bob has left."), 0x008000);
        const QList<QAction*> entries = panel.popupMenu1()->actions();
        QCOMPARE(entries.size(), 4);
        QCOMPARE(entries.at(0)->text(), QStringLiteral("Select All"));
        QCOMPARE(entries.at(1)->text(), QStringLiteral("Copy"));
        QCOMPARE(entries.at(2), panel.clearMainChatAction());
        entries.at(0)->trigger();
        entries.at(1)->trigger();
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("Ann chats:  hi   there \r Bob has left. "));
    }

    void textSizeAppliesToAllStyles() {
        ChatPanel panel;
        panel.addlinetochat(QStringLiteral("3+C: some words"), 0);
        const int height = panel.mainchat()->paragraph(0).height;
        panel.setTextSize(14);
        QCOMPARE(panel.textSize(), 14);
        for (int i = 0; i < TextStyles::kCount; ++i) {
            QCOMPARE(panel.mainchat()->styles()->style(i).size, 14);
        }
        QVERIFY(panel.mainchat()->paragraph(0).height > height);
    }
};

QTEST_MAIN(TestChatPanel)
#include "tst_chatpanel.moc"
