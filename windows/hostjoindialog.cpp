// SPDX-License-Identifier: MIT
#include "windows/hostjoindialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace vrako {

HostJoinDialog::HostJoinDialog(QWidget* parent)
    : QDialog(parent), m_starter([](const QString& program, const QStringList& arguments) {
          return QProcess::startDetached(program, arguments);
      }) {
    setObjectName(QStringLiteral("Thostjoin"));
    setWindowTitle(QStringLiteral("Vrako - Host or Join a Game"));

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("edit_name"));
    m_name->setMaxLength(50);
    m_host = new QRadioButton(QStringLiteral("Host a game"), this);
    m_host->setObjectName(QStringLiteral("radio_host"));
    m_host->setChecked(true);
    m_join = new QRadioButton(QStringLiteral("Join the game at"), this);
    m_join->setObjectName(QStringLiteral("radio_join"));
    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("edit_address"));
    m_address->setPlaceholderText(QStringLiteral("host name or IP address"));
    // A host name, an IPv4 address or an IPv6 address, with nothing that is not part of one.
    m_address->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[A-Za-z0-9._:%\\[\\]-]{0,253}")), m_address));
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Start"));

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("label_note"));
    m_note->setWordWrap(true);
    setPort(7772);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Your name:"), m_name);
    form->addRow(m_host);
    form->addRow(m_join, m_address);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_note);
    layout->addWidget(m_buttons);
    setFixedWidth(380);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_name, &QLineEdit::textChanged, this, &HostJoinDialog::updateState);
    connect(m_address, &QLineEdit::textChanged, this, &HostJoinDialog::updateState);
    connect(m_join, &QRadioButton::toggled, this, &HostJoinDialog::updateState);
    // Typing an address means joining it.
    connect(m_address, &QLineEdit::textEdited, this, [this] { m_join->setChecked(true); });
    updateState();
}

QString HostJoinDialog::lastName() const {
    return m_name->text().trimmed();
}

void HostJoinDialog::setLastName(const QString& name) {
    m_name->setText(name.trimmed());
}

QString HostJoinDialog::lastAddress() const {
    return m_address->text().trimmed();
}

void HostJoinDialog::setLastAddress(const QString& address) {
    QString text = address.trimmed();
    int pos = 0;
    if (m_address->validator()->validate(text, pos) != QValidator::Acceptable)
        text.clear();
    m_address->setText(text);
}

bool HostJoinDialog::isJoining() const {
    return m_join->isChecked();
}

void HostJoinDialog::setJoining(bool join) {
    (join ? m_join : m_host)->setChecked(true);
}

void HostJoinDialog::setPort(quint16 port) {
    m_note->setText(QStringLiteral("Vrako starts again as host or as a player at the host's "
                                   "table. Hosting needs port %1 open to the other players.")
                        .arg(port));
}

void HostJoinDialog::readSettings(const std::function<QString(const QString&)>& read) {
    setLastName(read(nameKey()));
    setLastAddress(read(addressKey()));
}

void HostJoinDialog::writeSettings(
    const std::function<void(const QString&, const QString&)>& write) const {
    write(nameKey(), lastName());
    write(addressKey(), lastAddress());
}

bool HostJoinDialog::isComplete() const {
    return !lastName().isEmpty() && (!isJoining() || !lastAddress().isEmpty());
}

QStringList HostJoinDialog::arguments() const {
    if (!isComplete())
        return {};
    // The host's own copy connects to itself; the address only matters when joining.
    return {lastName(), isJoining() ? lastAddress() : QStringLiteral("127.0.0.1"),
            isJoining() ? QStringLiteral("true") : QStringLiteral("false")};
}

bool HostJoinDialog::startGame() const {
    const QStringList args = arguments();
    return !args.isEmpty() && m_starter(QCoreApplication::applicationFilePath(), args);
}

void HostJoinDialog::updateState() {
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(isComplete());
}

} // namespace vrako
