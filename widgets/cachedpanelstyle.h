// SPDX-License-Identifier: MIT
#pragma once

#include <QProxyStyle>

namespace vrako {

// The application's style, but a line edit's panel (its background and rounded frame) is
// drawn once per size and state and kept as a picture. An entry as wide as a large screen
// would otherwise rasterise its antialiased outline at every paint, the caret's included.
class CachedPanelStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit CachedPanelStyle(QObject* parent);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

} // namespace vrako
