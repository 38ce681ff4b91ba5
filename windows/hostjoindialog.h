// SPDX-License-Identifier: MIT
#pragma once

#include "net/invitelink.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vrako {

class TableBrowser;
struct FoundTable;

// "Host or Join a Game...": for players without the lobby. It asks for the player's name and
// whether to host or to join the game at an address, and starts the game again with the
// command line the lobby would give it (name, host, "true" to join or "false" to host, and the
// port when it is not the game port). The games announced on the local network are listed;
// choosing one joins it.
class HostJoinDialog : public QDialog {
    Q_OBJECT
public:
    // Starts a program detached from this one; false when it could not be started.
    using Starter = std::function<bool(const QString& program, const QStringList& arguments)>;

    explicit HostJoinDialog(QWidget* parent = nullptr);
    ~HostJoinDialog() override;

    // What the list says where no Avahi daemon answers.
    static QString avahiMissingText() {
        return QStringLiteral("Looking for games on this network needs the Avahi service, which "
                              "is not running.");
    }

    // The settings keys (section "Vrako") that remember the last name and address.
    static QString nameKey() { return QStringLiteral("Lastname"); }
    static QString addressKey() { return QStringLiteral("Lastaddress"); }

    QString lastName() const;
    void setLastName(const QString& name);
    QString lastAddress() const;
    void setLastAddress(const QString& address);
    bool isJoining() const;
    void setJoining(bool join);
    // Chooses joining the game at host, port (the address field shows the port unless it is
    // the game port).
    void setJoinTarget(const QString& host, quint16 port);
    // The game to join as the address field names it: HOST, HOST:PORT or [IPv6]:PORT (an IPv6
    // address without brackets has no port); none while it is empty or its port is not one.
    std::optional<InviteTarget> joinTarget() const;
    // The game port the players need to reach, named in the dialog's note, and the port of a
    // game whose address names none (7772 unless set).
    void setPort(quint16 port);

    // Fills the fields from the settings, and writes them back.
    void readSettings(const std::function<QString(const QString& key)>& read);
    void
    writeSettings(const std::function<void(const QString& key, const QString& value)>& write) const;

    // Whether the fields make a command line: a name, and an address when joining.
    bool isComplete() const;
    // The command line for the new copy; empty while incomplete.
    QStringList arguments() const;

    void setStarter(Starter starter) { m_starter = std::move(starter); }
    // Starts this program with arguments(); the caller saves first and quits on success.
    bool startGame() const;

    // The list of the games found, a row per table (for tests).
    QTreeWidget* tableList() const { return m_tables; }

private:
    void updateState();
    void showAvailability(bool available);
    void showTable(const FoundTable& table);
    void removeTable(const QString& name);
    // Joins the game of a listed table with the name in the dialog.
    void joinListed(QTreeWidgetItem* item);

    quint16 m_port = kDefaultGamePort;
    QLineEdit* m_name = nullptr;
    QRadioButton* m_host = nullptr;
    QRadioButton* m_join = nullptr;
    QLineEdit* m_address = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QLabel* m_note = nullptr;
    QLabel* m_tablesNote = nullptr;
    QTreeWidget* m_tables = nullptr;
    QPushButton* m_joinTable = nullptr;
    TableBrowser* m_browser = nullptr;
    Starter m_starter;
};

} // namespace vrako
