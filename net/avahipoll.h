// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <memory>

struct AvahiPoll;

namespace vrako {

// Runs the Avahi client library on the Qt event loop: its file descriptor watches become
// socket notifiers and its timeouts single-shot timers, so no thread of its own is needed.
//
// Every client made with api() must be freed before this object is destroyed.
class AvahiQtPoll : public QObject {
    Q_OBJECT
public:
    explicit AvahiQtPoll(QObject* parent = nullptr);
    ~AvahiQtPoll() override;

    AvahiQtPoll(const AvahiQtPoll&) = delete;
    AvahiQtPoll& operator=(const AvahiQtPoll&) = delete;

    const AvahiPoll* api() const { return m_api.get(); }

private:
    std::unique_ptr<AvahiPoll> m_api;
};

} // namespace vrako
