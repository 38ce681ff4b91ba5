// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace vrako {

// "Host or Join a Game...": for players without the lobby. It asks for the player's name and
// whether to host or to join the game at an address, and starts the game again with the
// command line the lobby would give it (name, host, "true" to join or "false" to host).
class HostJoinDialog : public QDialog {
    Q_OBJECT
public:
    // Starts a program detached from this one; false when it could not be started.
    using Starter = std::function<bool(const QString& program, const QStringList& arguments)>;

    explicit HostJoinDialog(QWidget* parent = nullptr);

    // The settings keys (section "Vrako") that remember the last name and address.
    static QString nameKey() { return QStringLiteral("Lastname"); }
    static QString addressKey() { return QStringLiteral("Lastaddress"); }

    QString lastName() const;
    void setLastName(const QString& name);
    QString lastAddress() const;
    void setLastAddress(const QString& address);
    bool isJoining() const;
    void setJoining(bool join);
    // The game port the players need to reach, named in the dialog's note (7772 unless set).
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

private:
    void updateState();

    QLineEdit* m_name = nullptr;
    QRadioButton* m_host = nullptr;
    QRadioButton* m_join = nullptr;
    QLineEdit* m_address = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QLabel* m_note = nullptr;
    Starter m_starter;
};

} // namespace vrako
