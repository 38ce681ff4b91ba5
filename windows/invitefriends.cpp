// SPDX-License-Identifier: MIT
#include "windows/invitefriends.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vrako {

InviteFriendsWindow::InviteFriendsWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Tinvite"));
    setWindowTitle(QStringLiteral("Vrako - Invite Friends"));
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("label_invite"));
    m_text->setWordWrap(true);
    m_links = new QListWidget(this);
    m_links->setObjectName(QStringLiteral("list_links"));
    m_copy = new QPushButton(QStringLiteral("Copy"), this);
    m_copy->setObjectName(QStringLiteral("button_copy"));
    m_copy->setToolTip(QStringLiteral("Copy the chosen link to the clipboard"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_copy, QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_links);
    layout->addWidget(buttons);
    resize(420, 220);
    connect(m_copy, &QPushButton::clicked, this, &InviteFriendsWindow::copyLink);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setLinks({});
}

void InviteFriendsWindow::setLinks(const QStringList& links) {
    m_links->clear();
    m_links->addItems(links);
    m_links->setCurrentRow(0);
    m_copy->setEnabled(!links.isEmpty());
    m_text->setText(
        links.isEmpty()
            ? QStringLiteral("This computer has no network address that others can reach.")
            : QStringLiteral("Send your friends a link to your table: opening it starts Vrako "
                             "ready to join. Links for your local network come first; there, "
                             "Host or Join a Game... also lists your table."));
}

QStringList InviteFriendsWindow::links() const {
    QStringList all;
    for (int i = 0; i < m_links->count(); ++i)
        all.append(m_links->item(i)->text());
    return all;
}

void InviteFriendsWindow::copyLink() {
    if (const QListWidgetItem* item = m_links->currentItem())
        QGuiApplication::clipboard()->setText(item->text());
}

} // namespace vrako
