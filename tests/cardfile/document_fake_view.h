#pragma once
// A window for Document tests: an in-memory editor and index selection, and records of
// everything the document shows.
#include <deque>
#include <string>
#include <vector>

#include "cardfile/document.h"
#include "support/temp_folder.h"

namespace tabellan::test {

class FakeDocumentView : public DocumentView {
  public:
    struct SaveAsReply {
        bool ok = true;
        int filterIndex = 1;
        std::string name;
    };
    struct SaveAsAsked {
        int filterIndex;
        std::string name;
    };

    std::vector<std::string> editor;
    bool editorActive = false;
    int selected = -1;
    std::vector<std::string> captions;
    std::vector<std::string> statuses;
    std::vector<std::string> recentFiles;
    std::deque<SaveAsReply> saveAsReplies;  // empty: the dialog is cancelled
    std::vector<SaveAsAsked> saveAsAsked;
    int cardsResets = 0;
    int settingsApplied = 0;
    int relayouts = 0;
    int cardWidthToCapture = 400;

    std::vector<std::string> EditorLines() const override { return editor; }
    void SetEditorLines(const std::vector<std::string>& lines) override { editor = lines; }
    void ClearEditor() override { editor.clear(); }
    void SetEditorActive(bool active) override { editorActive = active; }
    void SelectIndex(int pos) override { selected = pos; }
    int SelectedIndex() const override { return selected; }
    // A refilled list drops its selection, as the window's list does.
    void CardsReset() override {
        ++cardsResets;
        selected = -1;
    }
    void SetCaption(const std::string& title) override { captions.push_back(title); }
    void ShowFileStatus(const std::string& text) override { statuses.push_back(text); }
    void AddRecentFile(const std::string& path) override { recentFiles.push_back(path); }
    void ApplySettingsToWindow(const FileSettings&) override { ++settingsApplied; }
    void CaptureWindowSettings(FileSettings& s) override { s.cardWidth = cardWidthToCapture; }
    void Relayout() override { ++relayouts; }
    bool AskSaveAs(int& filterIndex, std::string& name) override {
        saveAsAsked.push_back(SaveAsAsked{filterIndex, name});
        if (saveAsReplies.empty() || !saveAsReplies.front().ok) {
            if (!saveAsReplies.empty()) {
                saveAsReplies.pop_front();
            }
            return false;
        }
        filterIndex = saveAsReplies.front().filterIndex;
        name = saveAsReplies.front().name;
        saveAsReplies.pop_front();
        return true;
    }

    std::string Caption() const { return captions.empty() ? std::string() : captions.back(); }
};

// The user types the given lines into the editor.
inline void TypeLines(Document& doc, FakeDocumentView& view,
                      const std::vector<std::string>& lines) {
    view.editor = lines;
    doc.CardMemoChange();
}

// The indexes of the set in list order.
inline std::vector<std::string> IndexesOf(const CardSet& cards) {
    std::vector<std::string> out;
    for (int i = 0; i < cards.Count(); ++i) {
        out.push_back(cards.IndexAt(i));
    }
    return out;
}

}  // namespace tabellan::test
