// SPDX-License-Identifier: MIT
#pragma once

#include "windows/sidewindow.h"

#include <QStringList>

class QAction;
class QListWidget;
class QMenu;

namespace vrako {

// The list of spectators, from which the host may remove one.
class SpyList : public SideWindow {
    Q_OBJECT
public:
    explicit SpyList(QWidget* parent = nullptr);

    void setEntries(const QStringList& entries);
    QStringList entries() const;
    // Enabled in the hosting copy only.
    void setRemoveEnabled(bool on);
    QAction* removeAction() const { return m_remove; }
    // The entry index under the mouse, -1 when none.
    int hoveredIndex() const { return m_hovered; }
    void setHoveredIndex(int index) { m_hovered = index; }
    void popup_kickhimClick();

signals:
    void kickRequested(int seat);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* m_list = nullptr;
    QMenu* m_popup = nullptr;
    QAction* m_remove = nullptr;
    int m_hovered = -1;
};

} // namespace vrako
