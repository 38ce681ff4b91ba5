// SPDX-License-Identifier: MIT
#include "upnprouter_helper.h"

#include <QMutexLocker>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

namespace vrako::testing {
namespace {

constexpr char kService[] = "urn:schemas-upnp-org:service:WANIPConnection:1";

// An internet gateway with one WAN connection device offering the IP connection service.
QByteArray description() {
    return QByteArrayLiteral(
        "<?xml version=\"1.0\"?>\r\n"
        "<root xmlns=\"urn:schemas-upnp-org:device-1-0\">"
        "<specVersion><major>1</major><minor>0</minor></specVersion>"
        "<device><deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:1</deviceType>"
        "<friendlyName>Test router</friendlyName>"
        "<deviceList><device><deviceType>urn:schemas-upnp-org:device:WANDevice:1</deviceType>"
        "<serviceList><service>"
        "<serviceType>urn:schemas-upnp-org:service:WANCommonInterfaceConfig:1</serviceType>"
        "<serviceId>urn:upnp-org:serviceId:WANCommonIFC1</serviceId>"
        "<controlURL>/ctl/CmnIfCfg</controlURL><eventSubURL>/evt/CmnIfCfg</eventSubURL>"
        "<SCPDURL>/WANCfg.xml</SCPDURL></service></serviceList>"
        "<deviceList><device>"
        "<deviceType>urn:schemas-upnp-org:device:WANConnectionDevice:1</deviceType>"
        "<serviceList><service>"
        "<serviceType>urn:schemas-upnp-org:service:WANIPConnection:1</serviceType>"
        "<serviceId>urn:upnp-org:serviceId:WANIPConn1</serviceId>"
        "<controlURL>/ctl/IPConn</controlURL><eventSubURL>/evt/IPConn</eventSubURL>"
        "<SCPDURL>/WANIPCn.xml</SCPDURL></service></serviceList>"
        "</device></deviceList></device></deviceList></device></root>\r\n");
}

QByteArray envelope(const QByteArray& body) {
    return "<?xml version=\"1.0\"?>\r\n<s:Envelope "
           "xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body>" +
           body + "</s:Body></s:Envelope>\r\n";
}

QByteArray response(const char* status, const QByteArray& body) {
    return QByteArray("HTTP/1.1 ") + status +
           "\r\nContent-Type: text/xml; charset=\"utf-8\"\r\nConnection: close\r\n"
           "Content-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// The action's name and its arguments from a SOAP request body.
RouterRequest parseAction(const QByteArray& body) {
    RouterRequest r;
    const QString text = QString::fromUtf8(body);
    static const QRegularExpression actionRe(QStringLiteral("<u:(\\w+) xmlns:u="));
    r.action = actionRe.match(text).captured(1);
    static const QRegularExpression argRe(QStringLiteral("<(New\\w+)>([^<]*)</\\1>"));
    for (auto it = argRe.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        r.args.insert(m.captured(1), m.captured(2));
    }
    return r;
}

} // namespace

UpnpRouter::UpnpRouter() {
    start();
    m_listening.acquire();
}

UpnpRouter::~UpnpRouter() {
    release();
    quit();
    wait();
}

QString UpnpRouter::descriptionUrl() const {
    return QStringLiteral("http://127.0.0.1:%1/rootDesc.xml").arg(m_port);
}

void UpnpRouter::refuse(const QString& action, int code, bool onlyWithLease) {
    QMutexLocker lock(&m_mutex);
    m_refusals.insert(action, {code, onlyWithLease});
}

void UpnpRouter::setExternalAddress(const QString& address) {
    QMutexLocker lock(&m_mutex);
    m_externalAddress = address;
}

void UpnpRouter::hold() {
    QMutexLocker lock(&m_mutex);
    m_hold = true;
}

void UpnpRouter::release() {
    QMutexLocker lock(&m_mutex);
    if (m_hold)
        m_released.release();
    m_hold = false;
}

QList<RouterRequest> UpnpRouter::requests() const {
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

QList<RouterRequest> UpnpRouter::requests(const QString& action) const {
    QList<RouterRequest> out;
    for (const auto& r : requests())
        if (r.action == action)
            out.append(r);
    return out;
}

// The whole answer to one request, given its head (request line and headers) and body.
QByteArray UpnpRouter::answer(const QByteArray& head, const QByteArray& body) {
    if (head.startsWith("GET ")) {
        bool hold = false;
        {
            QMutexLocker lock(&m_mutex);
            m_requests.append({QStringLiteral("GetDescription"), {}});
            hold = m_hold;
        }
        if (hold)
            m_released.acquire();
        return response("200 OK", description());
    }
    const RouterRequest request = parseAction(body);
    QPair<int, bool> refusal{0, false};
    QString external;
    {
        QMutexLocker lock(&m_mutex);
        m_requests.append(request);
        refusal = m_refusals.value(request.action, {0, false});
        external = m_externalAddress;
    }
    if (refusal.first &&
        (!refusal.second || request.args.value(QStringLiteral("NewLeaseDuration")) != u"0"))
        return response("500 Internal Server Error",
                        envelope("<s:Fault><faultcode>s:Client</faultcode>"
                                 "<faultstring>UPnPError</faultstring><detail>"
                                 "<UPnPError xmlns=\"urn:schemas-upnp-org:control-1-0\">"
                                 "<errorCode>" +
                                 QByteArray::number(refusal.first) +
                                 "</errorCode><errorDescription>Refused</errorDescription>"
                                 "</UPnPError></detail></s:Fault>"));
    QByteArray out;
    if (request.action == u"GetExternalIPAddress")
        out = "<NewExternalIPAddress>" + external.toLatin1() + "</NewExternalIPAddress>";
    else if (request.action == u"GetStatusInfo") // a network search accepts connected routers only
        out = "<NewConnectionStatus>Connected</NewConnectionStatus>"
              "<NewLastConnectionError>ERROR_NONE</NewLastConnectionError>"
              "<NewUptime>1000</NewUptime>";
    const QByteArray name = request.action.toLatin1();
    return response("200 OK", envelope("<u:" + name + "Response xmlns:u=\"" + kService + "\">" +
                                       out + "</u:" + name + "Response>"));
}

void UpnpRouter::run() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    m_port = server.serverPort();
    QObject::connect(&server, &QTcpServer::newConnection, &server, [this, &server] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                // Reads until the head and as much body as Content-Length says have arrived.
                socket->setProperty("buffer",
                                    socket->property("buffer").toByteArray() + socket->readAll());
                const QByteArray buffer = socket->property("buffer").toByteArray();
                const qsizetype end = buffer.indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                const QByteArray head = buffer.left(end);
                static const QRegularExpression lengthRe(
                    QStringLiteral("\r\ncontent-length:\\s*(\\d+)"),
                    QRegularExpression::CaseInsensitiveOption);
                const qsizetype length =
                    lengthRe.match(QString::fromLatin1(head)).captured(1).toLongLong();
                if (buffer.size() < end + 4 + length)
                    return;
                socket->write(answer(head, buffer.mid(end + 4, length)));
                socket->disconnectFromHost();
            });
        }
    });
    m_listening.release();
    exec();
}

} // namespace vrako::testing
