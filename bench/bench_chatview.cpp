// SPDX-License-Identifier: MIT
// Appends many chat lines to a shown chat panel and prints how the time per line develops:
// a line's cost must not grow with the length of the log.

#include "chat/chatpanel.h"
#include "widgets/richtextview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <numeric>
#include <vector>

using namespace vrako;

namespace {

struct Line {
    const char* text;
    quint32 colour;
};

const Line kLines[] = {
    {"1+Ann chats: anyone up for another round? :)#10", 0x0000FF},
    {"2+Bob chats: sure, give me a minute (getting coffee)", 0x008000},
    {"3+Carol chats: rules are at www.example.com/vrako/rules.html, read them :)#15", 0x800000},
    {"4+Dave waves at everybody :)#21 :)#12", 0x808000},
    {"0+Bob has started a game.", 0xFF0000},
    {"1+Ann chats: good luck all, see http://example.org/scores?week=12 for the table", 0x0000FF},
    {"6+Eve chats: just watching tonight :)#27", 0x800080},
    {"2+Bob chats: ugh, a bomb again... :)#17 that was the third one in a row!", 0x008000},
    {"0+Dave disconnected.", 0x808080},
    {"3+Carol chats: a rather long line that has to wrap round at least once because it keeps "
     "going and going well past the width of the chat log, with words, commas; colons: and "
     "brackets (like these) {and these} in it",
     0x800000},
};

double meanMicros(const std::vector<qint64>& ns, size_t from, size_t count) {
    const qint64 sum = std::accumulate(ns.begin() + qsizetype(from),
                                       ns.begin() + qsizetype(from + count), qint64(0));
    return double(sum) / double(count) / 1000.0;
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const size_t total = argc > 1 ? size_t(std::max(2000, atoi(argv[1]))) : 20000;
    constexpr size_t window = 1000;

    ChatPanel panel;
    panel.setUrlOpener([](const QUrl&) { return true; });
    panel.show();
    QCoreApplication::processEvents();
    RichTextView* view = panel.mainchat();

    std::vector<qint64> ns;
    ns.reserve(total);
    QElapsedTimer all;
    all.start();
    QElapsedTimer t;
    for (size_t i = 0; i < total; ++i) {
        const Line& line = kLines[i % std::size(kLines)];
        t.start();
        panel.addlinetochat(QString::fromUtf8(line.text), line.colour);
        // Paint now rather than when the event loop gets round to it.
        view->viewport()->repaint();
        QCoreApplication::processEvents();
        ns.push_back(t.nsecsElapsed());
    }
    const double first = meanMicros(ns, 0, window);
    const double last = meanMicros(ns, total - window, window);
    std::printf("lines appended:            %zu (%d items, %d links)\n", total, view->itemCount(),
                view->linkCount());
    std::printf("total time:                %.1f ms\n", double(all.nsecsElapsed()) / 1e6);
    std::printf("mean per line, first %zu: %.1f us\n", window, first);
    std::printf("mean per line, last %zu:  %.1f us\n", window, last);
    std::printf("ratio last/first:          %.2f\n", last / first);
    return 0;
}
