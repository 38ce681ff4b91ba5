// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace vrako {

// A spectator as the spy list shows it: the record it watches from (5 to 9) and its name.
struct Spectator {
    int record = 0;
    QString name;
    bool operator==(const Spectator&) const = default;
};

} // namespace vrako
