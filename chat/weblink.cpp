// SPDX-License-Identifier: MIT
#include "chat/weblink.h"

namespace vrako {

bool isLinkWord(const QString& word) {
    return word.contains(QLatin1StringView("http://"), Qt::CaseInsensitive) ||
           word.contains(QLatin1StringView("www."), Qt::CaseInsensitive);
}

QUrl webAddressOf(const QString& word) {
    static const QString leading = QStringLiteral("([<\"");
    static const QString trailing = QStringLiteral(")]>,.;:!?\"");
    QString text = word;
    while (text.endsWith(QLatin1Char(' '))) {
        text.chop(1);
    }
    while (!text.isEmpty() && leading.contains(text.front())) {
        text.remove(0, 1);
    }
    while (!text.isEmpty() && trailing.contains(text.back())) {
        text.chop(1);
    }
    if (text.startsWith(QLatin1StringView("www."), Qt::CaseInsensitive)) {
        text.prepend(QLatin1StringView("http://"));
    }
    QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() ||
        (scheme != QLatin1StringView("http") && scheme != QLatin1StringView("https")) ||
        url.host().isEmpty()) {
        return {};
    }
    return url;
}

} // namespace vrako
