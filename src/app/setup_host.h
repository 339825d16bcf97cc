#pragma once
// What the Setup dialog reads from the main window and what it changes there.
#include <cstddef>
#include <functional>
#include <string>

#include "cardfile/codepage.h"
#include "cardfile/file_settings.h"

namespace tabellan {

class SetupHost {
  public:
    virtual ~SetupHost() = default;

    // --- read ---
    virtual const FileSettings& Settings() const = 0;
    // The card font of a new file, where "&Default Font..." starts.
    virtual const FontSpec& DefaultFont() const = 0;
    virtual int PixelsPerInch() const = 0;
    virtual bool EditorWordWrap() const = 0;
    virtual CodePage EditorCodePage() const = 0;
    // The card in the editor as card text and the byte offset of the selection's start:
    // where the Autodial page looks for a phone number.
    virtual std::string EditorCardText() const = 0;
    virtual std::size_t EditorSelectionOffset() const = 0;
    // The card file on disk as it is now (empty without one): what the alternate file name
    // is checked against.
    virtual std::string CardFileOnDisk() const = 0;

    // --- change ---
    // OK: store changes the file's settings and the file-modified flag; the window records
    // its layout into the settings first, so the panes keep their widths.
    virtual void StoreSettings(
        const std::function<void(FileSettings&, bool& fileModified)>& store) = 0;
    // After OK: the window takes the stored settings and re-arranges its controls.
    virtual void ApplySettings() = 0;
    // After the dialog closed, either way.
    virtual void ShowFileStatus() = 0;
};

}  // namespace tabellan
