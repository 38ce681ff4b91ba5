// SPDX-License-Identifier: MIT
#pragma once

// An Avahi daemon for the tests that announce and look for tables, from
// tools/avahi-test-daemon.sh (copied beside the test programs): the system's where it runs,
// otherwise a private one shared by all tests. The address of its bus goes into
// DBUS_SYSTEM_BUS_ADDRESS of this process, before anything here talks to the bus (the D-Bus
// library reads it once), and of the programs it starts.

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTest>

namespace vrako::testing {

class AvahiTestDaemon {
public:
    enum class Result { Ready, CannotHere, Failed };

    AvahiTestDaemon() = default;
    AvahiTestDaemon(const AvahiTestDaemon&) = delete;
    AvahiTestDaemon& operator=(const AvahiTestDaemon&) = delete;
    ~AvahiTestDaemon() {
        if (m_started)
            run(QStringLiteral("stop"));
    }

    Result start() {
        if (m_started)
            return Result::Ready;
        QProcess p;
        p.start(QStringLiteral("bash"), {script(), QStringLiteral("start"), pid()});
        if (!p.waitForFinished(60000)) {
            m_message = QStringLiteral("avahi-test-daemon.sh did not finish");
            return Result::Failed;
        }
        m_message = QString::fromUtf8(p.readAllStandardError()).trimmed();
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return p.exitCode() == 2 ? Result::CannotHere : Result::Failed;
        m_started = true;
        m_address = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toUtf8());
        return Result::Ready;
    }
    QString address() const { return m_address; }
    QString message() const { return m_message; }

private:
    static QString script() {
        return QDir(QCoreApplication::applicationDirPath())
            .filePath(QStringLiteral("avahi-test-daemon.sh"));
    }
    static QString pid() { return QString::number(QCoreApplication::applicationPid()); }
    void run(const QString& command) {
        QProcess p;
        p.start(QStringLiteral("bash"), {script(), command, pid()});
        p.waitForFinished(30000);
    }

    bool m_started = false;
    QString m_address;
    QString m_message;
};

} // namespace vrako::testing

// Skips the test function where no daemon can be had (not root, none running); fails it where
// starting one went wrong.
#define VRAKO_START_AVAHI(daemon)                                                                  \
    do {                                                                                           \
        switch ((daemon).start()) {                                                                \
        case vrako::testing::AvahiTestDaemon::Result::Ready:                                       \
            break;                                                                                 \
        case vrako::testing::AvahiTestDaemon::Result::CannotHere:                                  \
            QSKIP(qPrintable((daemon).message()));                                                 \
        case vrako::testing::AvahiTestDaemon::Result::Failed:                                      \
            QFAIL(qPrintable((daemon).message()));                                                 \
        }                                                                                          \
    } while (false)
