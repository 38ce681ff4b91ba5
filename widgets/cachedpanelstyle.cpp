// SPDX-License-Identifier: MIT
#include "widgets/cachedpanelstyle.h"

#include <QPainter>
#include <QPixmapCache>
#include <QStyleOptionFrame>
#include <QStyleOptionSlider>

namespace vrako {

namespace {

// Only plain copies can be replayed from a picture: not on a painter that turns or scales.
bool keepable(const QStyleOption* option, const QPainter* painter) {
    return !option->rect.isEmpty() && painter->transform().type() <= QTransform::TxTranslate;
}

} // namespace

CachedPanelStyle::CachedPanelStyle(QObject* parent) : QProxyStyle(nullptr) {
    setParent(parent);
}

template <typename Draw>
void CachedPanelStyle::drawKept(const QString& key, const QRect& rect, QPainter* painter,
                                Draw draw) const {
    const qreal ratio = painter->device()->devicePixelRatioF();
    const QString fullKey =
        key + QStringLiteral("-%1x%2@%3").arg(rect.width()).arg(rect.height()).arg(ratio);
    QPixmap picture;
    if (!QPixmapCache::find(fullKey, &picture)) {
        picture = QPixmap(rect.size() * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        draw(p);
        p.end();
        QPixmapCache::insert(fullKey, picture);
    }
    painter->drawPixmap(rect.topLeft(), picture);
}

void CachedPanelStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (element != PE_PanelLineEdit || !frame || !keepable(option, painter)) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const QString key = QStringLiteral("vrako-panel-%1-%2-%3-%4")
                            .arg(int(option->state))
                            .arg(option->palette.cacheKey())
                            .arg(frame->lineWidth)
                            .arg(int(frame->features));
    drawKept(key, option->rect, painter, [&](QPainter& p) {
        QStyleOptionFrame atOrigin = *frame;
        atOrigin.rect.moveTo(0, 0);
        QProxyStyle::drawPrimitive(element, &atOrigin, &p, widget);
    });
}

void CachedPanelStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                          QPainter* painter, const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || !bar || !keepable(option, painter)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QString key = QStringLiteral("vrako-scrollbar-%1-%2-%3-%4-%5-%6-%7-%8-%9")
                            .arg(int(option->state))
                            .arg(option->palette.cacheKey())
                            .arg(int(bar->activeSubControls))
                            .arg(int(bar->subControls))
                            .arg(int(bar->orientation))
                            .arg(bar->minimum)
                            .arg(bar->maximum)
                            .arg(bar->sliderPosition)
                            .arg(bar->pageStep) +
                        QStringLiteral("-%1-%2").arg(bar->upsideDown).arg(bar->sliderValue);
    drawKept(key, option->rect, painter, [&](QPainter& p) {
        QStyleOptionSlider atOrigin = *bar;
        atOrigin.rect.moveTo(0, 0);
        QProxyStyle::drawComplexControl(control, &atOrigin, &p, widget);
    });
}

} // namespace vrako
