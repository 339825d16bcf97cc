#include "app/setup_ports_page.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <string_view>

#include "cardfile/errors.h"

namespace tabellan {

namespace {

// The by-id name is long: it comes last, so that maker, product and device show first.
enum Column { kPortColumn, kDeviceColumn, kMakerColumn, kProductColumn, kByIdColumn, kColumns };

constexpr std::string_view kByIdFolder = "/dev/serial/by-id/";

// Room for a few numbers, such as "1, 2, 10".
constexpr int kPortsTextLength = 40;
constexpr int kPortColumnChars = 10;

QString Path(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QTableWidgetItem* Item(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

SetupPortsPage::SetupPortsPage(Prompter& prompter) : SetupPage("TabPorts", prompter) {
    table_ = new QTableWidget(0, kColumns, this);
    table_->setObjectName(QStringLiteral("PortList"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Port"), QStringLiteral("Device"),
                                       QStringLiteral("Maker"), QStringLiteral("Product"),
                                       QStringLiteral("Name in /dev/serial/by-id")});
    table_->verticalHeader()->hide();
    QHeaderView* header = table_->horizontalHeader();
    header->setStretchLastSection(true);
    for (const int column : {kDeviceColumn, kMakerColumn, kProductColumn}) {
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    // What tells two by-id names apart is mostly at their end (serial number, interface).
    table_->setTextElideMode(Qt::ElideMiddle);
    // The keyboard goes to the number fields; a click on a line goes to its field.
    table_->setFocusPolicy(Qt::NoFocus);
    table_->setTabKeyNavigation(false);  // Tab goes from field to field
    connect(table_, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (QLineEdit* edit = PortEdit(row)) {
            edit->setFocus();
        }
    });
    otherDevice_ = AddEdit("EditOtherDevice", 0);
    otherDevice_->setPlaceholderText(QStringLiteral("/dev/rfcomm0"));
    QPushButton* add =
        AddButton("btnAddDevice", QStringLiteral("&Add"), [this] { AddOtherDevice(); });
    QPushButton* rescan = AddButton("btnRescan", QStringLiteral("&Rescan"), [this] { Rescan(); });

    auto* note = new QLabel(QStringLiteral(
        "Type the port numbers of a device next to it, divided by commas; an empty field "
        "assigns none. A number that no device has stands for /dev/ttyS<n-1>: those numbers "
        "are shown in grey."));
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);
    auto* other = new QHBoxLayout;
    other->addWidget(Label(QStringLiteral("Other de&vice:"), otherDevice_));
    other->addWidget(otherDevice_, 1);
    other->addWidget(add);
    other->addSpacing(fontMetrics().averageCharWidth() * 4);
    other->addWidget(rescan);
    auto* layout = new QVBoxLayout(this);
    listLabel_ = Label(QStringLiteral("Serial devices and their port &numbers:"), otherDevice_);
    layout->addWidget(listLabel_);
    layout->addWidget(table_, 1);
    layout->addWidget(note);
    layout->addLayout(other);
}

void SetupPortsPage::Load(const SetupData& data) {
    cp_ = data.cp;
    otherDevice_->clear();
    Fill(PortListEntries(ListSerialDevices(root_), data.ports));
}

std::optional<SetupPage::Failure> SetupPortsPage::Check() const {
    const std::optional<PortAssignmentProblem> problem = CheckPortAssignments(Rows());
    if (!problem) {
        return std::nullopt;
    }
    const int row = static_cast<int>(problem->row);
    table_->setCurrentCell(row, kPortColumn);  // shows the device's line
    return Failure{problem->message, PortEdit(row)};
}

void SetupPortsPage::Store(SetupData& data) const {
    data.ports = PortMapFromRows(Rows());
}

std::string SetupPortsPage::DeviceForPort(int port) const {
    return tabellan::DeviceForPort(PortMapFromRows(Rows()), port);
}

void SetupPortsPage::Rescan() {
    const std::vector<PortAssignmentRow> typed = Rows();
    std::vector<PortListEntry> entries =
        PortListEntries(ListSerialDevices(root_), PortMapFromRows(typed));
    // A line whose numbers cannot be read yet stays, so that nothing typed is lost.
    for (const PortAssignmentRow& row : typed) {
        const bool kept = std::any_of(entries.begin(), entries.end(), [&](const auto& entry) {
            return entry.device.path == row.path;
        });
        if (!kept && !row.portsText.empty()) {
            entries.push_back({SerialDevice{row.path, row.path, "", ""}, false, {}});
        }
    }
    Fill(entries);
    for (const PortAssignmentRow& row : typed) {
        if (const int r = RowOf(row.path); r >= 0) {
            PortEdit(r)->setText(QString::fromStdString(row.portsText));
        }
    }
}

void SetupPortsPage::AddOtherDevice() {
    const std::string path = QFile::encodeName(otherDevice_->text().trimmed()).toStdString();
    if (path.empty()) {
        otherDevice_->setFocus();
        return;
    }
    if (path.front() != '/') {
        otherDevice_->setFocus();
        throw TabellanError("A device path begins with \"/\", such as /dev/rfcomm0.");
    }
    int row = RowOf(path);
    if (row < 0) {
        AddRow({SerialDevice{path, path, "", ""}, false, {}});
        row = table_->rowCount() - 1;
        ShowDefaultNumbers();
        OrderFields();
    }
    otherDevice_->clear();
    table_->setCurrentCell(row, kPortColumn);
    PortEdit(row)->setFocus();
}

void SetupPortsPage::Fill(const std::vector<PortListEntry>& entries) {
    table_->setRowCount(0);
    entries_.clear();
    for (const PortListEntry& entry : entries) {
        AddRow(entry);
    }
    ShowDefaultNumbers();
    table_->setColumnWidth(kPortColumn, fontMetrics().averageCharWidth() * kPortColumnChars);
    OrderFields();
}

void SetupPortsPage::OrderFields() {
    // setTabOrder passes over a widget that takes no focus: the table takes it for a moment.
    table_->setFocusPolicy(Qt::TabFocus);
    QWidget* previous = table_;
    for (int row = 0; row < table_->rowCount(); ++row) {
        QWidget::setTabOrder(previous, PortEdit(row));
        previous = PortEdit(row);
    }
    QWidget::setTabOrder(previous, otherDevice_);
    table_->setFocusPolicy(Qt::NoFocus);
    listLabel_->setBuddy(table_->rowCount() > 0 ? PortEdit(0) : otherDevice_);
}

void SetupPortsPage::AddRow(const PortListEntry& entry) {
    const int row = table_->rowCount();
    entries_.push_back(entry);
    table_->insertRow(row);
    auto* edit = new QLineEdit;
    edit->setObjectName(QStringLiteral("PortNumbers"));
    edit->setMaxLength(kPortsTextLength);
    edit->setText(QString::fromStdString(PortNumbersText(entry.ports)));
    connect(edit, &QLineEdit::textChanged, this, [this] { ShowDefaultNumbers(); });
    table_->setCellWidget(row, kPortColumn, edit);
    // A by-id link names the device wherever it is plugged in; a port is assigned that name.
    const SerialDevice& device = entry.device;
    const bool byId = device.path.starts_with(kByIdFolder);
    QString shown = Path(byId && !entry.listed ? std::string() : device.devicePath);
    if (!entry.listed && !Present(device.path)) {
        shown +=
            shown.isEmpty() ? QStringLiteral("(not present)") : QStringLiteral(" (not present)");
    }
    const QString description = Path(DescribeSerialDevice(device));
    QTableWidgetItem* deviceItem = Item(shown);
    deviceItem->setData(Qt::UserRole, Path(device.path));  // what the numbers are assigned
    table_->setItem(row, kDeviceColumn, deviceItem);
    table_->setItem(row, kMakerColumn, Item(QString::fromStdString(device.maker)));
    table_->setItem(row, kProductColumn, Item(QString::fromStdString(device.product)));
    table_->setItem(row, kByIdColumn,
                    Item(byId ? Path(device.path.substr(kByIdFolder.size())) : QString()));
    for (int column = kDeviceColumn; column < kColumns; ++column) {
        table_->item(row, column)->setToolTip(description);
    }
}

void SetupPortsPage::ShowDefaultNumbers() {
    const PortMap map = PortMapFromRows(Rows());
    for (int row = 0; row < table_->rowCount(); ++row) {
        const std::optional<int> port =
            DefaultPortNumber(entries_[static_cast<std::size_t>(row)].device.devicePath);
        PortEdit(row)->setPlaceholderText(port && !map.contains(*port) ? QString::number(*port)
                                                                       : QString());
    }
}

std::vector<PortAssignmentRow> SetupPortsPage::Rows() const {
    std::vector<PortAssignmentRow> rows;
    for (int row = 0; row < table_->rowCount(); ++row) {
        const QLineEdit* edit = PortEdit(row);
        rows.push_back({entries_[static_cast<std::size_t>(row)].device.path,
                        edit ? edit->text().toStdString() : std::string()});
    }
    return rows;
}

QLineEdit* SetupPortsPage::PortEdit(int row) const {
    return qobject_cast<QLineEdit*>(table_->cellWidget(row, kPortColumn));
}

int SetupPortsPage::RowOf(const std::string& path) const {
    for (std::size_t row = 0; row < entries_.size(); ++row) {
        if (entries_[row].device.path == path) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

bool SetupPortsPage::Present(const std::string& path) const {
    std::error_code error;
    return std::filesystem::exists(
        std::filesystem::path(root_) / std::filesystem::path(path).relative_path(), error);
}

}  // namespace tabellan
