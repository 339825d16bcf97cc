#pragma once
// The Setup dialog without widgets: its values as one plain struct, loaded from the open
// file's settings, checked on OK in a fixed order, and stored back in order. The Quick
// Search Items tab is QuickSearchItemsModel (quick_search.h); the autodial registry
// values are DialRules and ModemSettings (autodial/dial_rules.h), written by the dialog
// right after StoreSetupValues.
#include <optional>
#include <string>
#include <string_view>

#include "cardfile/file_settings.h"
#include "cardfile/quick_search.h"

namespace tabellan {

enum class SetupTab { FileSetup, QuickSearchItems, Autodial, Ports };

// Controls a failed check puts the focus on (all on the File Setup tab).
enum class SetupField {
    Password1,
    Password2,
    CardSeparator,
    AutoSavePeriod,
    IndentPrintoutSpaces,
    AltCardFileName
};

inline constexpr char kFormFeed = '\f';

struct SetupValues {
    std::string password1;
    std::string password2;
    int compressionLevel = 0;  // position in the compression list, 0..3
    bool wordWrap = false;
    std::string cardSeparator;  // the separator field's text, one character
    bool indexListAtRight = true;
    std::string autoSavePeriod;  // minutes, as typed (2 characters)
    bool commandExec = true;
    std::string indentPrintoutSpaces;  // as typed (2 characters)
    std::string altCardFileName;
    FontSpec pendingFont;  // the font OK applies
    std::string ignoredChars;
    std::string separatorChars;
};

// The dialog's fields on activation: from the file settings, with the editor's current
// font and word wrap.
SetupValues LoadSetupValues(const FileSettings& settings, const FontSpec& editorFont,
                            bool editorWordWrap);

struct SetupCheckFailure {
    SetupTab tab = SetupTab::FileSetup;  // the tab to switch to
    SetupField focus;
    std::string message;  // shown as an error box with OK; the dialog stays open
};

// The four checks of OK in their order; the first failure, or nullopt when all pass.
std::optional<SetupCheckFailure> CheckSetupValues(const SetupValues& values);

// After those: the alternate file name, made a full path against currentDirectory as it
// will be stored, must be one the save may write (CheckAlternateFileName). cardFile: the
// card file on disk now, or empty.
std::optional<SetupCheckFailure> CheckSetupAlternateFile(const SetupValues& values,
                                                         const std::string& cardFile,
                                                         const std::string& currentDirectory);

// A whole decimal number with an optional sign, nothing else; nullopt otherwise.
std::optional<int> ParseWholeNumber(std::string_view text);

// Stores checked values: the quick search items (then rebuild the Search menu from
// settings.quickSearch), the file-modified flag (set even when nothing changed), then the
// file settings in the dialog's order. The alternate file name is made a full path against
// currentDirectory; an empty one stays empty.
void StoreSetupValues(const SetupValues& values, const QuickSearchItems& items,
                      const std::string& currentDirectory, FileSettings& settings,
                      bool& fileModified);

// Help of the tab shown: the topic of the Help button and the help-key context.
const char* SetupHelpTopic(SetupTab tab);
int SetupHelpContext(SetupTab tab);

}  // namespace tabellan
