// SPDX-License-Identifier: MIT
// Entry of the game: creates the windows and runs the event loop.
#include "shell/tchat.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vrako"));
    vrako::Tchat window;
    window.createSideWindows();
    window.show();
    return app.exec();
}
