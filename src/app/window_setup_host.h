#pragma once
// The Setup dialog's host in the main window: the document's settings, the card editor,
// and the window's view of the document that takes the stored settings.
#include "app/setup_host.h"

class QPlainTextEdit;

namespace tabellan {

class CardEditorAdapter;
class Document;
class DocumentView;

class WindowSetupHost : public SetupHost {
  public:
    WindowSetupHost(Document& document, DocumentView& view, QPlainTextEdit& editor,
                    const CardEditorAdapter& adapter)
        : document_(document), view_(view), editor_(editor), adapter_(adapter) {}

    const FileSettings& Settings() const override;
    const FontSpec& DefaultFont() const override;
    int PixelsPerInch() const override;
    bool EditorWordWrap() const override;
    CodePage EditorCodePage() const override;
    std::string EditorCardText() const override;
    std::size_t EditorSelectionOffset() const override;
    std::string CardFileOnDisk() const override;

    void StoreSettings(
        const std::function<void(FileSettings&, bool& fileModified)>& store) override;
    void ApplySettings() override;
    void ShowFileStatus() override;

  private:
    Document& document_;
    DocumentView& view_;
    QPlainTextEdit& editor_;
    const CardEditorAdapter& adapter_;
};

}  // namespace tabellan
