// SPDX-License-Identifier: MIT
#include "windows/hostjoindialog.h"

#include "net/commands.h"
#include "net/tablebrowser.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vrako {
namespace {

enum Column { NameColumn, AddressColumn, SeatsColumn, GameColumn };
// Where a row keeps its table.
constexpr int kNameRole = Qt::UserRole;
constexpr int kHostRole = Qt::UserRole + 1;
constexpr int kPortRole = Qt::UserRole + 2;

QString ourVersion() {
    return QString::fromLatin1(cmd::version.data(), qsizetype(cmd::version.size()));
}

// HOST, or HOST:PORT where port is not the one a bare address means.
QString addressText(const QString& host, quint16 port, quint16 defaultPort) {
    if (port == defaultPort)
        return host;
    const QString shown =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return shown + QLatin1Char(':') + QString::number(port);
}

} // namespace

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
    setPort(kDefaultGamePort);

    m_tablesNote = new QLabel(this);
    m_tablesNote->setObjectName(QStringLiteral("label_tables"));
    m_tablesNote->setWordWrap(true);
    m_tables = new QTreeWidget(this);
    m_tables->setObjectName(QStringLiteral("list_tables"));
    m_tables->setHeaderLabels({QStringLiteral("Table"), QStringLiteral("Address"),
                               QStringLiteral("Seats"), QStringLiteral("Game")});
    m_tables->setRootIsDecorated(false);
    m_tables->setAllColumnsShowFocus(true);
    m_tables->setSortingEnabled(true);
    m_tables->sortByColumn(NameColumn, Qt::AscendingOrder);
    m_tables->header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_tables->header()->setStretchLastSection(false);
    for (int c : {AddressColumn, SeatsColumn, GameColumn})
        m_tables->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    m_tables->setMinimumHeight(110);
    m_joinTable = new QPushButton(QStringLiteral("Join"), this);
    m_joinTable->setObjectName(QStringLiteral("button_jointable"));
    m_joinTable->setToolTip(QStringLiteral("Join the chosen game with your name"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Your name:"), m_name);
    form->addRow(m_host);
    form->addRow(m_join, m_address);
    auto* tablesRow = new QHBoxLayout;
    tablesRow->addWidget(m_tablesNote, 1);
    tablesRow->addWidget(m_joinTable, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(tablesRow);
    layout->addWidget(m_tables);
    layout->addWidget(m_note);
    layout->addWidget(m_buttons);
    setFixedWidth(500);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_name, &QLineEdit::textChanged, this, &HostJoinDialog::updateState);
    connect(m_address, &QLineEdit::textChanged, this, &HostJoinDialog::updateState);
    connect(m_join, &QRadioButton::toggled, this, &HostJoinDialog::updateState);
    // Typing an address means joining it.
    connect(m_address, &QLineEdit::textEdited, this, [this] { m_join->setChecked(true); });
    connect(m_tables, &QTreeWidget::itemSelectionChanged, this, &HostJoinDialog::updateState);
    connect(m_tables, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { joinListed(item); });
    connect(m_joinTable, &QPushButton::clicked, this,
            [this] { joinListed(m_tables->currentItem()); });

    // Without D-Bus or the daemon the browser says so at once; it starts looking by itself
    // once the daemon runs.
    m_browser = new TableBrowser(this);
    connect(m_browser, &TableBrowser::availabilityChanged, this, &HostJoinDialog::showAvailability);
    connect(m_browser, &TableBrowser::tableFound, this, &HostJoinDialog::showTable);
    connect(m_browser, &TableBrowser::tableChanged, this, &HostJoinDialog::showTable);
    connect(m_browser, &TableBrowser::tableRemoved, this, &HostJoinDialog::removeTable);
    showAvailability(m_browser->isAvailable());
    for (const FoundTable& t : m_browser->tables())
        showTable(t);
    updateState();
}

HostJoinDialog::~HostJoinDialog() = default;

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

void HostJoinDialog::setJoinTarget(const QString& host, quint16 port) {
    m_address->setText(addressText(host, port, m_port));
    setJoining(true);
}

std::optional<InviteTarget> HostJoinDialog::joinTarget() const {
    const QString text = lastAddress();
    if (text.isEmpty())
        return std::nullopt;
    const qsizetype colons = text.count(QLatin1Char(':'));
    const bool bracketed = text.startsWith(QLatin1Char('['));
    if ((colons == 1 && !bracketed) || (bracketed && text.contains(QLatin1String("]:")))) {
        // The same grammar as an invite link's.
        return parseInviteLink(QStringLiteral("vrako://") + text).target;
    }
    if (bracketed && text.endsWith(QLatin1Char(']')))
        return InviteTarget{text.mid(1, text.size() - 2), m_port};
    return InviteTarget{text, m_port};
}

void HostJoinDialog::setPort(quint16 port) {
    m_port = port;
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
    return !lastName().isEmpty() && (!isJoining() || joinTarget().has_value());
}

QStringList HostJoinDialog::arguments() const {
    if (!isComplete())
        return {};
    // The host's own copy connects to itself; the address only matters when joining.
    if (!isJoining())
        return {lastName(), QStringLiteral("127.0.0.1"), QStringLiteral("false")};
    const InviteTarget target = *joinTarget();
    QStringList args{lastName(), target.host, QStringLiteral("true")};
    // The new copy joins on the game port unless told another.
    if (target.port != m_port)
        args.append(QString::number(target.port));
    return args;
}

bool HostJoinDialog::startGame() const {
    const QStringList args = arguments();
    return !args.isEmpty() && m_starter(QCoreApplication::applicationFilePath(), args);
}

void HostJoinDialog::updateState() {
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(isComplete());
    m_joinTable->setEnabled(!m_tables->isHidden() && m_tables->currentItem() &&
                            m_tables->currentItem()->isSelected());
}

void HostJoinDialog::showAvailability(bool available) {
    m_tablesNote->setText(available
                              ? QStringLiteral("Games on this network (double-click one to join):")
                              : avahiMissingText());
    m_tables->setVisible(available);
    m_joinTable->setVisible(available);
    if (!available)
        m_tables->clear();
    updateState();
}

void HostJoinDialog::showTable(const FoundTable& table) {
    QTreeWidgetItem* item = nullptr;
    for (int i = 0; i < m_tables->topLevelItemCount() && !item; ++i) {
        if (m_tables->topLevelItem(i)->data(NameColumn, kNameRole).toString() == table.name)
            item = m_tables->topLevelItem(i);
    }
    if (!item) {
        item = new QTreeWidgetItem(m_tables);
        item->setData(NameColumn, kNameRole, table.name);
    }
    item->setData(NameColumn, kHostRole, table.address);
    item->setData(NameColumn, kPortRole, table.port);
    item->setText(NameColumn, table.name);
    item->setToolTip(NameColumn, table.hostName);
    item->setText(AddressColumn, addressText(table.address, table.port, m_port));
    item->setText(SeatsColumn, table.seats < 0 ? QStringLiteral("?")
                                               : QStringLiteral("%1 of 4").arg(table.seats));
    item->setText(GameColumn,
                  table.running ? QStringLiteral("playing") : QStringLiteral("waiting"));
    // Copies of different versions may not understand each other: the player is warned.
    if (table.version != ourVersion()) {
        item->setIcon(NameColumn, style()->standardIcon(QStyle::SP_MessageBoxWarning));
        item->setToolTip(NameColumn,
                         QStringLiteral("This table runs Vrako %1; you have %2.")
                             .arg(table.version.isEmpty() ? QStringLiteral("of an unknown version")
                                                          : table.version,
                                  ourVersion()));
    } else {
        item->setIcon(NameColumn, QIcon());
    }
    updateState();
}

void HostJoinDialog::removeTable(const QString& name) {
    for (int i = 0; i < m_tables->topLevelItemCount(); ++i) {
        if (m_tables->topLevelItem(i)->data(NameColumn, kNameRole).toString() == name) {
            delete m_tables->takeTopLevelItem(i);
            break;
        }
    }
    updateState();
}

void HostJoinDialog::joinListed(QTreeWidgetItem* item) {
    if (!item)
        return;
    setJoinTarget(item->data(NameColumn, kHostRole).toString(),
                  quint16(item->data(NameColumn, kPortRole).toUInt()));
    if (isComplete())
        accept();
    else
        m_name->setFocus();
}

} // namespace vrako
