// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace vrako {

// Ports and folders the program uses; the environment may move them so copies run side by side.
struct ProgramSettings {
    quint16 port = 7772;
    quint16 lobbyPort = 9001;
    // The folder of the settings file and the tally file.
    QString home;
    static ProgramSettings fromEnvironment();
};

} // namespace vrako
