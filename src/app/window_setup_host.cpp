#include "app/window_setup_host.h"

#include <QPlainTextEdit>

#include "app/card_editor_adapter.h"
#include "cardfile/document.h"
#include "cardfile/document_files.h"

namespace tabellan {

const FileSettings& WindowSetupHost::Settings() const {
    return document_.Settings();
}

const FontSpec& WindowSetupHost::DefaultFont() const {
    return document_.Context().defaultFont;
}

int WindowSetupHost::PixelsPerInch() const {
    return document_.Context().pixelsPerInch;
}

bool WindowSetupHost::EditorWordWrap() const {
    return editor_.lineWrapMode() != QPlainTextEdit::NoWrap;
}

CodePage WindowSetupHost::EditorCodePage() const {
    return adapter_.GetCodePage();
}

std::string WindowSetupHost::EditorCardText() const {
    return adapter_.CardText();
}

std::size_t WindowSetupHost::EditorSelectionOffset() const {
    return adapter_.SelectionStartOffset();
}

std::string WindowSetupHost::CardFileOnDisk() const {
    return FindFileIgnoringExtCase(document_.CardFileName());
}

void WindowSetupHost::StoreSettings(
    const std::function<void(FileSettings&, bool& fileModified)>& store) {
    FileSettings& settings = document_.Settings();
    bool modified = document_.FileModified();
    // Taken first, so the panes keep their widths when the index list changes sides.
    view_.CaptureWindowSettings(settings);
    store(settings, modified);
    document_.SetFileModified(modified);
}

void WindowSetupHost::ApplySettings() {
    view_.ApplySettingsToWindow(document_.Settings());
    view_.Relayout();
}

void WindowSetupHost::ShowFileStatus() {
    document_.ShowFileStatus();
}

}  // namespace tabellan
