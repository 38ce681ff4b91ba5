// SPDX-License-Identifier: MIT
#include "net/portmapper.h"

#include <QDeadlineTimer>
#include <QThread>
#include <csignal>
#include <pthread.h>

namespace vrako {
namespace {

// The worker thread. The library writes to sockets without asking the kernel to spare the
// process when the router has gone away; blocking SIGPIPE here turns that into an error return.
class PortMapThread final : public QThread {
protected:
    void run() override {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
        exec();
    }
};

} // namespace

PortMapper::PortMapper(QObject* parent)
    : QObject(parent), m_routerUrl(qEnvironmentVariable("VRAKO_UPNP_URL")) {
    m_renew.setSingleShot(true);
    connect(&m_renew, &QTimer::timeout, this, &PortMapper::requestMapping);
}

PortMapper::~PortMapper() {
    stop();
}

QString PortMapper::failureText(quint16 port) {
    return QStringLiteral("Your router did not open port %1; friends outside your network need "
                          "it forwarded to this computer.")
        .arg(port);
}

void PortMapper::start(quint16 port, const QString& description) {
    stop();
    m_order = PortMapOrder{m_routerUrl, port, description, m_leaseSeconds};
    m_state = State::Asking;
    m_stopping = std::make_shared<std::atomic_bool>(false);
    m_thread = std::make_unique<PortMapThread>();
    m_worker = new PortMapWorker(m_stopping);
    m_worker->moveToThread(m_thread.get());
    connect(m_thread.get(), &QThread::finished, m_worker, &QObject::deleteLater);
    const quint64 session = m_session;
    connect(m_worker, &PortMapWorker::mapped, this,
            [this, session](const QString& address, int lease) {
                if (session == m_session)
                    onMapped(address, lease);
            });
    connect(m_worker, &PortMapWorker::failed, this, [this, session](const QString& detail) {
        if (session == m_session)
            onFailed(detail);
    });
    m_thread->start();
    requestMapping();
}

void PortMapper::requestMapping() {
    if (!m_worker)
        return;
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, order = m_order] { worker->map(order); },
        Qt::QueuedConnection);
}

void PortMapper::onMapped(const QString& externalAddress, int leaseSeconds) {
    const bool news = m_state != State::Mapped || externalAddress != m_externalAddress;
    m_state = State::Mapped;
    m_externalAddress = externalAddress;
    // Renewing at half the lease leaves time for a second try before the router drops it.
    m_renewMs = leaseSeconds > 0 ? leaseSeconds * 500 : 0;
    if (m_renewMs > 0)
        m_renew.start(m_renewMs);
    if (news)
        emit mapped(externalAddress, m_order.port);
}

void PortMapper::onFailed(const QString& detail) {
    // A failed renewal is tried again while hosting lasts; the router may have restarted.
    if (m_renewMs > 0)
        m_renew.start(m_renewMs);
    if (m_state == State::Failed)
        return;
    m_state = State::Failed;
    m_externalAddress.clear();
    emit failed(failureText(m_order.port), detail);
}

void PortMapper::stop() {
    ++m_session;
    m_renew.stop();
    m_renewMs = 0;
    m_state = State::Idle;
    m_externalAddress.clear();
    if (!m_thread)
        return;
    // A search or description still under way adds nothing once it returns.
    m_stopping->store(true);
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker] {
            worker->unmap();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    QThread* thread = m_thread.release();
    m_worker = nullptr;
    if (thread->wait(QDeadlineTimer(kStopWaitMs))) {
        delete thread;
        return;
    }
    // The router is slow to answer: the thread ends by itself when its call returns (the
    // library's timeouts bound that) and is deleted then. Checking after connecting covers a
    // thread that finished in between.
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    if (thread->wait(0))
        delete thread;
}

} // namespace vrako
