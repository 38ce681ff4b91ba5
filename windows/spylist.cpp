// SPDX-License-Identifier: MIT
#include "windows/spylist.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

namespace vrako {

SpyList::SpyList(QWidget* parent)
    : SideWindow("Tspylist", QStringLiteral("Vrako -Spys"), QSize(170, 195), parent) {
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    setTiledBackground(true);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("listbox_spys"));
    m_list->setGeometry(5, 5, 154, 130);
    m_list->setMouseTracking(true);
    m_list->viewport()->installEventFilter(this);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* title = new QLabel(QStringLiteral("Spy List"), this);
    title->setGeometry(5, 138, 154, 18);
    title->setStyleSheet(QStringLiteral("color: rgb(242, 250, 143); font: bold 13px Arial;"));
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("button_ok"));
    ok->setGeometry(55, 160, 60, 26);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    m_popup = new QMenu(this);
    m_remove = m_popup->addAction(QStringLiteral("Remove From Game"));
    m_remove->setObjectName(QStringLiteral("popup_kickhim"));
    m_remove->setEnabled(false);
    connect(m_remove, &QAction::triggered, this, &SpyList::popup_kickhimClick);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { m_popup->popup(m_list->viewport()->mapToGlobal(at)); });
}

void SpyList::setEntries(const QList<Spectator>& spectators) {
    // The entry under the mouse keeps being meant when others come or go.
    const Spectator hovered =
        m_hovered >= 0 && m_hovered < m_spectators.size() ? m_spectators[m_hovered] : Spectator{};
    m_spectators = spectators;
    m_list->clear();
    for (const Spectator& s : spectators)
        m_list->addItem(QString::number(s.record) + QStringLiteral(": ") + s.name);
    m_hovered = hovered.record == 0 ? -1 : int(spectators.indexOf(hovered));
}

QStringList SpyList::entries() const {
    QStringList out;
    for (int i = 0; i < m_list->count(); ++i)
        out.append(m_list->item(i)->text());
    return out;
}

void SpyList::setRemoveEnabled(bool on) {
    m_remove->setEnabled(on);
}

void SpyList::popup_kickhimClick() {
    if (m_hovered >= 0 && m_hovered < m_spectators.size())
        emit kickRequested(m_spectators[m_hovered].record);
}

bool SpyList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list->viewport() && event->type() == QEvent::MouseMove) {
        const auto* me = static_cast<QMouseEvent*>(event);
        const QListWidgetItem* item = m_list->itemAt(me->position().toPoint());
        m_hovered = item ? m_list->row(item) : -1;
    }
    return SideWindow::eventFilter(watched, event);
}

} // namespace vrako
