// SPDX-License-Identifier: MIT
#include "net/tableservice.h"

#include <QSysInfo>

namespace vrako {

QString tableInstanceName(const QString& name) {
    constexpr qsizetype kMaxBytes = 63;
    const QString suffix = QStringLiteral("'s table");
    QString owner = name.trimmed();
    if (owner.isEmpty())
        owner = QSysInfo::machineHostName();
    const qsizetype room = kMaxBytes - suffix.toUtf8().size();
    while (owner.toUtf8().size() > room) {
        // Drop whole characters: a surrogate pair goes as one.
        owner.chop(owner.size() >= 2 && owner.back().isLowSurrogate() ? 2 : 1);
    }
    return owner + suffix;
}

} // namespace vrako
