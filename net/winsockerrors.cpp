// SPDX-License-Identifier: MIT
// The error codes and names that socket reports use, and how POSIX errno values map onto them.
#include "net/tsock.h"

#include <algorithm>
#include <array>
#include <cerrno>

namespace vrako {
namespace {

struct WinsockError {
    int code;
    const char* name;
    int err; // the errno value that maps to code; 0 when none does
};

// A code may appear more than once, for several errno values; its first row names it.
constexpr std::array kErrors{
    WinsockError{10004, "WSAEINTR", EINTR},
    WinsockError{10009, "WSAEBADF", EBADF},
    WinsockError{10013, "WSAEACCES", EACCES},
    WinsockError{10013, "WSAEACCES", EPERM}, // a firewall refusing the connection
    WinsockError{10014, "WSAEFAULT", EFAULT},
    WinsockError{10022, "WSAEINVAL", EINVAL},
    WinsockError{10024, "WSAEMFILE", EMFILE},
    WinsockError{10024, "WSAEMFILE", ENFILE}, // too many open files, system-wide
    WinsockError{10035, "WSAEWOULDBLOCK", EWOULDBLOCK},
    WinsockError{10036, "WSAEINPROGRESS", EINPROGRESS},
    WinsockError{10037, "WSAEALREADY", EALREADY},
    WinsockError{10038, "WSAENOTSOCK", ENOTSOCK},
    WinsockError{10039, "WSAEDESTADDRREQ", EDESTADDRREQ},
    WinsockError{10040, "WSAEMSGSIZE", EMSGSIZE},
    WinsockError{10041, "WSAEPROTOTYPE", EPROTOTYPE},
    WinsockError{10042, "WSAENOPROTOOPT", ENOPROTOOPT},
    WinsockError{10043, "WSAEPROTONOSUPPORT", EPROTONOSUPPORT},
    WinsockError{10044, "WSAESOCKTNOSUPPORT", ESOCKTNOSUPPORT},
    WinsockError{10045, "WSAEOPNOTSUPP", EOPNOTSUPP},
    WinsockError{10046, "WSAEPFNOSUPPORT", EPFNOSUPPORT},
    WinsockError{10047, "WSAEAFNOSUPPORT", EAFNOSUPPORT},
    WinsockError{10048, "WSAEADDRINUSE", EADDRINUSE},
    WinsockError{10049, "WSAEADDRNOTAVAIL", EADDRNOTAVAIL},
    WinsockError{10050, "WSAENETDOWN", ENETDOWN},
    WinsockError{10051, "WSAENETUNREACH", ENETUNREACH},
    WinsockError{10052, "WSAENETRESET", ENETRESET},
    WinsockError{10053, "WSAECONNABORTED", ECONNABORTED},
    WinsockError{10054, "WSAECONNRESET", ECONNRESET},
    WinsockError{10055, "WSAENOBUFS", ENOBUFS},
    WinsockError{10055, "WSAENOBUFS", ENOMEM},
    WinsockError{10056, "WSAEISCONN", EISCONN},
    WinsockError{10057, "WSAENOTCONN", ENOTCONN},
    // Writing to a connection the peer has shut down.
    WinsockError{10058, "WSAESHUTDOWN", EPIPE},
    WinsockError{10058, "WSAESHUTDOWN", ESHUTDOWN},
    WinsockError{10059, "WSAETOOMANYREFS", ETOOMANYREFS},
    WinsockError{10060, "WSAETIMEDOUT", ETIMEDOUT},
    WinsockError{10061, "WSAECONNREFUSED", ECONNREFUSED},
    WinsockError{10062, "WSAELOOP", ELOOP},
    WinsockError{10063, "WSAENAMETOOLONG", ENAMETOOLONG},
    WinsockError{10064, "WSAEHOSTDOWN", EHOSTDOWN},
    WinsockError{10065, "WSAEHOSTUNREACH", EHOSTUNREACH},
    WinsockError{10066, "WSAENOTEMPTY", ENOTEMPTY},
    WinsockError{10067, "WSAEPROCLIM", 0},
    WinsockError{10068, "WSAEUSERS", EUSERS},
    WinsockError{10069, "WSAEDQUOT", EDQUOT},
    WinsockError{10070, "WSAESTALE", ESTALE},
    WinsockError{10071, "WSAEREMOTE", EREMOTE},
    WinsockError{10091, "WSASYSNOTREADY", 0},
    WinsockError{10092, "WSAVERNOTSUPPORTED", 0},
    WinsockError{10093, "WSANOTINITIALISED", 0},
    WinsockError{10101, "WSAEDISCON", 0},
    WinsockError{11001, "WSAHOST_NOT_FOUND", 0},
    WinsockError{11002, "WSATRY_AGAIN", 0},
    WinsockError{11003, "WSANO_RECOVERY", 0},
    WinsockError{11004, "WSANO_DATA", 0},
};

} // namespace

QString winsockErrorName(int code) {
    const auto* e = std::find_if(kErrors.begin(), kErrors.end(),
                                 [code](const WinsockError& row) { return row.code == code; });
    return QString::fromLatin1(e != kErrors.end() ? e->name : "UNKNOWN ERROR");
}

int winsockCodeFromErrno(int err) {
    const auto* e = std::find_if(kErrors.begin(), kErrors.end(), [err](const WinsockError& row) {
        return err != 0 && row.err == err;
    });
    // Codes without a counterpart are passed through; they report as "UNKNOWN ERROR".
    return e != kErrors.end() ? e->code : err;
}

} // namespace vrako
