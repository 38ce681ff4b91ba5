// SPDX-License-Identifier: MIT
#pragma once

#include "game/spectator.h"
#include "windows/sidewindow.h"

#include <QList>

class QAction;
class QListWidget;
class QMenu;

namespace vrako {

// The list of spectators, from which the host may remove one.
class SpyList : public SideWindow {
    Q_OBJECT
public:
    explicit SpyList(QWidget* parent = nullptr);

    // Shows each spectator as "record: name".
    void setEntries(const QList<Spectator>& spectators);
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
    QList<Spectator> m_spectators;
    int m_hovered = -1;
};

} // namespace vrako
