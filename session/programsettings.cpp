// SPDX-License-Identifier: MIT
#include "session/programsettings.h"

#include <QStandardPaths>

namespace vrako {
namespace {

quint16 portFromEnvironment(const char* name, quint16 fallback) {
    bool ok = false;
    const int value = qEnvironmentVariable(name).toInt(&ok);
    return ok && value > 0 && value < 65536 ? static_cast<quint16>(value) : fallback;
}

} // namespace

ProgramSettings ProgramSettings::fromEnvironment() {
    ProgramSettings s;
    s.port = portFromEnvironment("VRAKO_PORT", 7772);
    s.lobbyPort = portFromEnvironment("VRAKO_LOBBY_PORT", 9001);
    s.home = qEnvironmentVariable("VRAKO_HOME");
    if (s.home.isEmpty())
        s.home = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    s.upnpUrl = qEnvironmentVariable("VRAKO_UPNP_URL");
    s.searchRouter = true;
    return s;
}

} // namespace vrako
