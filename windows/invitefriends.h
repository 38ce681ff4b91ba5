// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

namespace vrako {

// "Invite Friends...": the links to the hosted table, one per address of this computer that
// others can reach (the local network's first), and a button that copies the chosen one to
// the clipboard for the player to send.
class InviteFriendsWindow : public QDialog {
    Q_OBJECT
public:
    explicit InviteFriendsWindow(QWidget* parent = nullptr);

    void setLinks(const QStringList& links);
    QStringList links() const;
    // Copies the chosen link (the first unless another was chosen).
    void copyLink();

private:
    QLabel* m_text = nullptr;
    QListWidget* m_links = nullptr;
    QPushButton* m_copy = nullptr;
};

} // namespace vrako
