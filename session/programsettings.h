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
    // The home router asked to forward the game port while hosting: its description address
    // (VRAKO_UPNP_URL), else, with searchRouter, the one the network search finds. Copies made
    // for tests ask no router unless given one.
    QString upnpUrl;
    bool searchRouter = false;
    static ProgramSettings fromEnvironment();
};

} // namespace vrako
