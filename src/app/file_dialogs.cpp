#include "app/file_dialogs.h"

#include <QFileDialog>
#include <QStringList>

#include "app/help.h"

namespace tabellan {

namespace {

// Both spellings of each extension, since file names here are case-sensitive.
const QStringList& OpenFilters() {
    static const QStringList filters = {
        QStringLiteral("Tabellan (*.csv *.CSV)"),
        QStringLiteral("Windows Cardfile File (*.crd *.CRD)"),
        QStringLiteral("Text File (*.txt *.TXT)"),
    };
    return filters;
}

const QStringList& SaveFilters() {
    static const QStringList filters = {
        QStringLiteral("Tabellan (*.csv *.CSV)"),
        QStringLiteral("Text File (*.txt *.TXT)"),
    };
    return filters;
}

}  // namespace

std::optional<QString> QtFileDialogs::Open(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Open"));
    dialog.setObjectName(QStringLiteral("OpenDialog"));
    SetHelpContext(&dialog, 120);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(OpenFilters());
    dialog.selectNameFilter(OpenFilters().first());
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

bool QtFileDialogs::SaveAs(QWidget* parent, int& filterIndex, QString& name) {
    QFileDialog dialog(parent, QStringLiteral("Save As"));
    dialog.setObjectName(QStringLiteral("SaveDialog"));
    SetHelpContext(&dialog, 140);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The document asks about overwriting, with the name it will really write.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(SaveFilters());
    const int shown = filterIndex == 2 ? 1 : 0;
    dialog.selectNameFilter(SaveFilters().at(shown));
    dialog.setDefaultSuffix(shown == 1 ? QStringLiteral("txt") : QStringLiteral("csv"));
    if (!name.isEmpty()) {
        dialog.selectFile(name);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    filterIndex = SaveFilters().indexOf(dialog.selectedNameFilter()) == 1 ? 2 : 1;
    name = dialog.selectedFiles().first();
    return true;
}

}  // namespace tabellan
