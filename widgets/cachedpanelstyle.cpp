// SPDX-License-Identifier: MIT
#include "widgets/cachedpanelstyle.h"

#include <QPainter>
#include <QPixmapCache>
#include <QStyleOptionFrame>

namespace vrako {

CachedPanelStyle::CachedPanelStyle(QObject* parent) : QProxyStyle(nullptr) {
    setParent(parent);
}

void CachedPanelStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    // Only plain copies can be replayed from a picture: not a painter that turns or scales.
    if (element != PE_PanelLineEdit || !frame || option->rect.isEmpty() ||
        painter->transform().type() > QTransform::TxTranslate) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const qreal ratio = painter->device()->devicePixelRatioF();
    const QString key = QStringLiteral("vrako-panel-%1x%2-%3-%4-%5-%6-%7")
                            .arg(option->rect.width())
                            .arg(option->rect.height())
                            .arg(int(option->state))
                            .arg(option->palette.cacheKey())
                            .arg(frame->lineWidth)
                            .arg(int(frame->features))
                            .arg(ratio);
    QPixmap panel;
    if (!QPixmapCache::find(key, &panel)) {
        panel = QPixmap(option->rect.size() * ratio);
        panel.setDevicePixelRatio(ratio);
        panel.fill(Qt::transparent);
        QStyleOptionFrame atOrigin = *frame;
        atOrigin.rect.moveTo(0, 0);
        QPainter p(&panel);
        QProxyStyle::drawPrimitive(element, &atOrigin, &p, widget);
        p.end();
        QPixmapCache::insert(key, panel);
    }
    painter->drawPixmap(option->rect.topLeft(), panel);
}

} // namespace vrako
