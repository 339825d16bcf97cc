#include "app/app_settings.h"

#include <QSettings>

namespace tabellan {

AppSettings::AppSettings()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Velmorn"), QStringLiteral("Quirnel"))) {
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

std::array<QString, 9> AppSettings::SearchItems() const {
    std::array<QString, 9> items;
    for (int i = 0; i < 9; ++i) {
        items[static_cast<std::size_t>(i)] = Value(QStringLiteral("SS%1").arg(i + 1));
    }
    return items;
}

void AppSettings::WriteSearchItems(const std::array<QString, 9>& items) {
    for (int i = 0; i < 9; ++i) {
        settings_->remove(QStringLiteral("SS%1").arg(i + 1));
    }
    for (int i = 0; i < 9; ++i) {
        const QString& item = items[static_cast<std::size_t>(i)];
        if (!item.isEmpty()) {
            settings_->setValue(QStringLiteral("SS%1").arg(i + 1), item);
        }
    }
}

int AppSettings::CommPort() const {
    bool ok = false;
    const int port = Value(QStringLiteral("CommPort")).toInt(&ok, 10);
    return ok ? port : 1;
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
