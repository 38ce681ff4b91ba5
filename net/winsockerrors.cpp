// SPDX-License-Identifier: MIT
// The error codes and names that socket reports use, and how POSIX errno values map onto them.
#include "net/tsock.h"

#include <cerrno>

namespace vrako {

QString winsockErrorName(int code) {
    const char* name = nullptr;
    switch (code) {
    case 10004:
        name = "WSAEINTR";
        break;
    case 10009:
        name = "WSAEBADF";
        break;
    case 10013:
        name = "WSAEACCES";
        break;
    case 10014:
        name = "WSAEFAULT";
        break;
    case 10022:
        name = "WSAEINVAL";
        break;
    case 10024:
        name = "WSAEMFILE";
        break;
    case 10035:
        name = "WSAEWOULDBLOCK";
        break;
    case 10036:
        name = "WSAEINPROGRESS";
        break;
    case 10037:
        name = "WSAEALREADY";
        break;
    case 10038:
        name = "WSAENOTSOCK";
        break;
    case 10039:
        name = "WSAEDESTADDRREQ";
        break;
    case 10040:
        name = "WSAEMSGSIZE";
        break;
    case 10041:
        name = "WSAEPROTOTYPE";
        break;
    case 10042:
        name = "WSAENOPROTOOPT";
        break;
    case 10043:
        name = "WSAEPROTONOSUPPORT";
        break;
    case 10044:
        name = "WSAESOCKTNOSUPPORT";
        break;
    case 10045:
        name = "WSAEOPNOTSUPP";
        break;
    case 10046:
        name = "WSAEPFNOSUPPORT";
        break;
    case 10047:
        name = "WSAEAFNOSUPPORT";
        break;
    case 10048:
        name = "WSAEADDRINUSE";
        break;
    case 10049:
        name = "WSAEADDRNOTAVAIL";
        break;
    case 10050:
        name = "WSAENETDOWN";
        break;
    case 10051:
        name = "WSAENETUNREACH";
        break;
    case 10052:
        name = "WSAENETRESET";
        break;
    case 10053:
        name = "WSAECONNABORTED";
        break;
    case 10054:
        name = "WSAECONNRESET";
        break;
    case 10055:
        name = "WSAENOBUFS";
        break;
    case 10056:
        name = "WSAEISCONN";
        break;
    case 10057:
        name = "WSAENOTCONN";
        break;
    case 10058:
        name = "WSAESHUTDOWN";
        break;
    case 10059:
        name = "WSAETOOMANYREFS";
        break;
    case 10060:
        name = "WSAETIMEDOUT";
        break;
    case 10061:
        name = "WSAECONNREFUSED";
        break;
    case 10062:
        name = "WSAELOOP";
        break;
    case 10063:
        name = "WSAENAMETOOLONG";
        break;
    case 10064:
        name = "WSAEHOSTDOWN";
        break;
    case 10065:
        name = "WSAEHOSTUNREACH";
        break;
    case 10066:
        name = "WSAENOTEMPTY";
        break;
    case 10067:
        name = "WSAEPROCLIM";
        break;
    case 10068:
        name = "WSAEUSERS";
        break;
    case 10069:
        name = "WSAEDQUOT";
        break;
    case 10070:
        name = "WSAESTALE";
        break;
    case 10071:
        name = "WSAEREMOTE";
        break;
    case 10091:
        name = "WSASYSNOTREADY";
        break;
    case 10092:
        name = "WSAVERNOTSUPPORTED";
        break;
    case 10093:
        name = "WSANOTINITIALISED";
        break;
    case 10101:
        name = "WSAEDISCON";
        break;
    case 11001:
        name = "WSAHOST_NOT_FOUND";
        break;
    case 11002:
        name = "WSATRY_AGAIN";
        break;
    case 11003:
        name = "WSANO_RECOVERY";
        break;
    case 11004:
        name = "WSANO_DATA";
        break;
    default:
        name = "UNKNOWN ERROR";
        break;
    }
    return QString::fromLatin1(name);
}

int winsockCodeFromErrno(int err) {
    switch (err) {
    case EINTR:
        return 10004;
    case EBADF:
        return 10009;
    case EACCES:
        return 10013;
    case EFAULT:
        return 10014;
    case EINVAL:
        return 10022;
    case EMFILE:
        return 10024;
    case EWOULDBLOCK:
        return 10035;
    case EINPROGRESS:
        return 10036;
    case EALREADY:
        return 10037;
    case ENOTSOCK:
        return 10038;
    case EDESTADDRREQ:
        return 10039;
    case EMSGSIZE:
        return 10040;
    case EPROTOTYPE:
        return 10041;
    case ENOPROTOOPT:
        return 10042;
    case EPROTONOSUPPORT:
        return 10043;
    case ESOCKTNOSUPPORT:
        return 10044;
    case EOPNOTSUPP:
        return 10045;
    case EPFNOSUPPORT:
        return 10046;
    case EAFNOSUPPORT:
        return 10047;
    case EADDRINUSE:
        return 10048;
    case EADDRNOTAVAIL:
        return 10049;
    case ENETDOWN:
        return 10050;
    case ENETUNREACH:
        return 10051;
    case ENETRESET:
        return 10052;
    case ECONNABORTED:
        return 10053;
    case ECONNRESET:
        return 10054;
    case ENOBUFS:
        return 10055;
    case EISCONN:
        return 10056;
    case ENOTCONN:
        return 10057;
    // Writing to a connection the peer has shut down.
    case EPIPE:
    case ESHUTDOWN:
        return 10058;
    case ETOOMANYREFS:
        return 10059;
    case ETIMEDOUT:
        return 10060;
    case ECONNREFUSED:
        return 10061;
    case ELOOP:
        return 10062;
    case ENAMETOOLONG:
        return 10063;
    case EHOSTDOWN:
        return 10064;
    case EHOSTUNREACH:
        return 10065;
    case ENOTEMPTY:
        return 10066;
    case EUSERS:
        return 10068;
    case EDQUOT:
        return 10069;
    case ESTALE:
        return 10070;
    case EREMOTE:
        return 10071;
    case ENFILE:
        return 10024; // too many open files, system-wide
    case ENOMEM:
        return 10055; // no buffer space
    case EPERM:
        return 10013; // a firewall refusing the connection
    default:
        // Codes without a counterpart are passed through; they report as "UNKNOWN ERROR".
        return err;
    }
}

} // namespace vrako
