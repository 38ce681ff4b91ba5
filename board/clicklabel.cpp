// SPDX-License-Identifier: MIT
#include "board/clicklabel.h"

#include <QAccessibleWidget>

namespace vrako {
namespace {

// A picture that acts on a click reads as a button, with a press action that clicks it.
class ClickLabelAccessible : public QAccessibleWidget {
public:
    explicit ClickLabelAccessible(ClickLabel* label)
        : QAccessibleWidget(label, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& actionName) override {
        if (actionName == pressAction() && widget()->isEnabled())
            static_cast<ClickLabel*>(widget())->click();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* clickLabelFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("vrako::ClickLabel") && object && object->isWidgetType())
        return new ClickLabelAccessible(static_cast<ClickLabel*>(object));
    return nullptr;
}

} // namespace

ClickLabel::ClickLabel(QWidget* parent) : BoardLabel(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(clickLabelFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void ClickLabel::click() {
    emit pressed(Qt::LeftButton);
    emit clicked();
}

} // namespace vrako
