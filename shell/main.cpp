// SPDX-License-Identifier: MIT
// Entry of the game: creates the windows and runs the event loop.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vrako"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Vrako - Dovi42 Software"));
    window.setCentralWidget(new QLabel(QStringLiteral("Vrako")));
    window.resize(660, 512);
    window.show();
    return app.exec();
}
