// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace vrako {

// Whether a line is an action: it starts with "/me" (letter case counts).
inline bool isActionLine(const QString& line) {
    return line.startsWith(QLatin1String("/me"));
}

// The text of an action line: without "/me" and the one character after it (normally a
// space), never half of a surrogate pair.
inline QString actionText(const QString& line) {
    qsizetype cut = 3;
    if (line.size() > 3)
        cut += line.at(3).isHighSurrogate() && line.size() > 4 ? 2 : 1;
    return line.mid(cut);
}

} // namespace vrako
