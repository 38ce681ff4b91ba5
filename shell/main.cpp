// SPDX-License-Identifier: MIT
// Entry of the game: creates the windows and runs the event loop.
#include "net/commands.h"
#include "shell/tchat.h"
#include "shell/unixsignals.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // A lone --help or --version answers on stdout without opening a window. Any other
    // command line (name, host, true|false) is left to the main window as it always was.
    if (argc == 2) {
        const char* arg = argv[1];
        if (std::strcmp(arg, "--version") == 0 || std::strcmp(arg, "-v") == 0) {
            std::printf("vrako %.*s\n", static_cast<int>(vrako::cmd::version.size()),
                        vrako::cmd::version.data());
            return 0;
        }
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs("Usage: vrako [NAME HOST true|false [PORT]] | vrako vrako://HOST[:PORT]\n"
                       "A four-seat card game with chat, spectators and computer players.\n\n"
                       "Without arguments: a solo game against three computer players.\n"
                       "  NAME HOST true [PORT]  join the game hosted at HOST as NAME (on PORT)\n"
                       "  NAME HOST false        host a game as NAME (any third argument other\n"
                       "                         than \"true\" hosts)\n"
                       "  vrako://HOST[:PORT]    an invite link: opens Host or Join a Game...\n"
                       "                         ready to join that game\n\n"
                       "Options:\n"
                       "  -h, --help        show this help and exit\n"
                       "  -v, --version     show the version and exit\n\n"
                       "Environment: VRAKO_PORT (game port, 7772), VRAKO_LOBBY_PORT (9001),\n"
                       "VRAKO_HOME (folder of the settings and the tally).\n",
                       stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vrako"));
    // The installed desktop entry and icon: Wayland matches windows to the entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.vrako.Vrako"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.vrako.Vrako")));
    vrako::Tchat window;
    // A termination request, an interrupt from the terminal or the end of the desktop session
    // saves the settings and the tally as File, Exit does.
    vrako::UnixSignals unixSignals;
    QObject::connect(&unixSignals, &vrako::UnixSignals::terminationRequested, &window,
                     &QWidget::close);
    QObject::connect(&unixSignals, &vrako::UnixSignals::sessionEnding, &window,
                     &vrako::Tchat::saveOnExit);
    window.createSideWindows();
    window.show();
    return app.exec();
}
