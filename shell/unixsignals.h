// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <csignal>

class QSocketNotifier;

namespace vrako {

// Turns the requests to end the program that come from outside the window (SIGTERM at
// shutdown or logout, SIGINT from a terminal, the desktop session ending) into Qt signals on
// the GUI thread, so that the owner can close the main window as File, Exit does, or save as
// closing would, and the settings get written. One instance per process; a second one stays
// inactive.
class UnixSignals : public QObject {
    Q_OBJECT
public:
    explicit UnixSignals(const QList<int>& signalNumbers = {SIGTERM, SIGINT},
                         QObject* parent = nullptr);
    // Gives the signals back to their previous handlers.
    ~UnixSignals() override;

    bool isActive() const { return m_notifier != nullptr; }

signals:
    // One of the watched signals arrived.
    void terminationRequested(int signalNumber);
    // The desktop session manager asks the program to save its data, normally because the
    // session ends; the program must not quit here (the manager may only be checkpointing).
    void sessionEnding();

private:
    static void handle(int signalNumber);
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
    int m_readFd = -1;
    QList<QPair<int, struct sigaction>> m_previous;
};

} // namespace vrako
