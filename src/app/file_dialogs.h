#pragma once
// The open and save dialogs of the main window, behind an interface so tests can answer them.
#include <QString>
#include <optional>

class QWidget;

namespace tabellan {

class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // The file to open (it exists); nullopt when cancelled.
    virtual std::optional<QString> Open(QWidget* parent) = 0;
    // filterIndex: 1 card file, 2 text; in: the entry shown first, out: the chosen one.
    // name: in the initial name, out the chosen path. false: cancelled.
    virtual bool SaveAs(QWidget* parent, int& filterIndex, QString& name) = 0;
};

class QtFileDialogs : public FileDialogs {
  public:
    std::optional<QString> Open(QWidget* parent) override;
    bool SaveAs(QWidget* parent, int& filterIndex, QString& name) override;
};

}  // namespace tabellan
