#include "app/app_settings.h"

#include <QFile>
#include <QSettings>

#include "app/card_editor_adapter.h"
#include "phone/port_device.h"
#include "phone/user_settings_import.h"

namespace tabellan {

namespace {

std::unique_ptr<QSettings> OpenUserSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Velmorn"), QStringLiteral("Quirnel"));
}

}  // namespace

AppSettings::AppSettings() {
    // Before the settings are read: values an earlier build kept in Quirnel.conf.
    ImportOldUserSettings(QFile::encodeName(OpenUserSettings()->fileName()).toStdString());
    settings_ = OpenUserSettings();
}

AppSettings::~AppSettings() = default;

QString AppSettings::Value(const QString& name) const {
    return settings_->value(name).toString();
}

std::array<QString, 4> AppSettings::RecentFiles() const {
    std::array<QString, 4> paths;
    for (int i = 0; i < 4; ++i) {
        paths[static_cast<std::size_t>(i)] = Value(QStringLiteral("File%1").arg(i + 1));
    }
    return paths;
}

void AppSettings::WriteRecentFiles(const std::array<QString, 4>& paths) {
    for (int i = 0; i < 4; ++i) {
        settings_->setValue(QStringLiteral("File%1").arg(i + 1),
                            paths[static_cast<std::size_t>(i)]);
    }
    settings_->sync();
}

QuickSearchItems AppSettings::SearchItems(CodePage cp) const {
    return ReadQuickSearchItems([this, cp](const std::string& name) -> std::optional<std::string> {
        const QVariant value = settings_->value(QString::fromStdString(name));
        if (!value.isValid()) {
            return std::nullopt;
        }
        return QStringToAnsi(value.toString(), cp);
    });
}

void AppSettings::WriteSearchItems(const QuickSearchItems& items, CodePage cp) {
    for (int slot = 1; slot <= kQuickSearchSlots; ++slot) {
        settings_->remove(QString::fromStdString(QuickSearchValueName(slot)));
    }
    for (const auto& [name, item] : QuickSearchValuesToWrite(items)) {
        settings_->setValue(QString::fromStdString(name), AnsiToQString(item, cp));
    }
}

int AppSettings::CommPort() const {
    const QVariant value = settings_->value(QStringLiteral("CommPort"));
    return StoredPhonePort(value.isValid()
                               ? std::optional<std::string>(value.toString().toStdString())
                               : std::nullopt);
}

void AppSettings::WriteCommPort(int port) {
    settings_->setValue(QStringLiteral("CommPort"), QString::number(port));
}

QString AppSettings::AutoDial() const {
    return Value(QStringLiteral("AutoDial"));
}

void AppSettings::WriteAutoDial(const QString& value) {
    settings_->setValue(QStringLiteral("AutoDial"), value);
}

QString AppSettings::AutoDialModem() const {
    return Value(QStringLiteral("AutoDialModem"));
}

void AppSettings::WriteAutoDialModem(const QString& value) {
    settings_->setValue(QStringLiteral("AutoDialModem"), value);
}

PortMap AppSettings::PortAssignments() const {
    return ReadPortMap([this](std::string_view key) -> std::optional<std::string> {
        const QVariant value = settings_->value(QString::fromUtf8(key.data(), key.size()));
        return value.isValid() ? std::optional<std::string>(value.toString().toStdString())
                               : std::nullopt;
    });
}

void AppSettings::WritePortChanges(const IniChanges& changes) {
    for (const auto& [key, value] : changes) {
        const QString name = QString::fromStdString(key);
        if (value) {
            settings_->setValue(name, QString::fromStdString(*value));
        } else {
            settings_->remove(name);
        }
    }
}

void AppSettings::DeleteObsoleteValues() {
    for (const char* name : {"ClientHeight", "ClientWidth", "Top", "Left", "WindowState"}) {
        settings_->remove(QString::fromLatin1(name));
    }
}

void AppSettings::Sync() {
    settings_->sync();
}

QString AppSettings::FileName() const {
    return settings_->fileName();
}

}  // namespace tabellan
