#pragma once
// The user's settings of the program (not those of a card file): an INI file under the
// user's configuration folder, organisation "Velmorn", application "Quirnel"
// (~/.config/Velmorn/Quirnel.ini), the file tabellan-cli reads too; an old Quirnel.conf
// beside it is imported once. Every value is a string, as it always was.
#include <QString>
#include <array>
#include <memory>

#include "cardfile/codepage.h"
#include "cardfile/quick_search.h"
#include "phone/port_device.h"

class QSettings;

namespace tabellan {

class AppSettings {
  public:
    AppSettings();
    ~AppSettings();
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    std::array<QString, 4> RecentFiles() const;  // File1..File4, empty for unused slots
    void WriteRecentFiles(const std::array<QString, 4>& paths);

    // The quick search slots SS1..SS9; the items are card text in the code page cp.
    QuickSearchItems SearchItems(CodePage cp) const;
    // Deletes all nine values, then writes the used slots.
    void WriteSearchItems(const QuickSearchItems& items, CodePage cp);

    // The phone's serial port number; 1 when missing or not a decimal number.
    int CommPort() const;
    void WriteCommPort(int port);

    QString AutoDial() const;
    void WriteAutoDial(const QString& value);
    QString AutoDialModem() const;
    void WriteAutoDialModem(const QString& value);

    // The devices assigned to port numbers (CommDevice<n>), which the phone and the modem
    // look up in the settings file itself: a change is seen there after Sync.
    PortMap PortAssignments() const;
    void WritePortChanges(const IniChanges& changes);

    // Values of earlier versions that are no longer used.
    void DeleteObsoleteValues();

    void Sync();
    QString FileName() const;

  private:
    QString Value(const QString& name) const;
    std::unique_ptr<QSettings> settings_;
};

}  // namespace tabellan
