// SPDX-License-Identifier: MIT
#pragma once

#include <QProxyStyle>

namespace vrako {

// The application's style, but a line edit's panel (its background and rounded frame) and a
// scroll bar are drawn once per size and state and kept as pictures. An entry as wide as a
// large screen would otherwise rasterise its antialiased outline at every paint, the caret's
// included, and a tall scroll bar its gradients.
class CachedPanelStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit CachedPanelStyle(QObject* parent);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

private:
    // Draws what `draw` paints for `rect` from a picture kept under `key`, made the first time.
    template <typename Draw>
    void drawKept(const QString& key, const QRect& rect, QPainter* painter, Draw draw) const;
};

} // namespace vrako
