#pragma once
// The Setup dialog's "&File Setup" page: the open file's settings.
#include <functional>
#include <optional>

#include "app/setup_page.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tabellan {

class FileDialogs;

class SetupFilePage : public SetupPage {
    Q_OBJECT
  public:
    // The font dialog: the font chosen, or nullopt when cancelled.
    using FontChooser = std::function<std::optional<FontSpec>(const FontSpec& start, QWidget*)>;

    SetupFilePage(Prompter& prompter, FileDialogs& dialogs, FontChooser chooseFont);

    void SetFontChooser(FontChooser chooser) { chooseFont_ = std::move(chooser); }
    // The font OK applies.
    const FontSpec& PendingFont() const { return pendingFont_; }

    void Load(const SetupData& data) override;
    // Passwords, card separator, autosave period and print indent, in this order; then the
    // password's characters and the alternate file name.
    std::optional<Failure> Check() const override;
    void Store(SetupData& data) const override;

  private:
    // The page's fields put into v.
    SetupValues FieldValues(SetupValues v) const;
    QWidget* FieldWidget(SetupField field) const;

    void ButtonClearPasswordClick();
    void ButtonFormFeedClick();
    void ButtonFontClick();
    void ButtonDefFontClick();
    void ButtonSetAltFNClick();
    void ButtonClearAltFNClick();

    FileDialogs& dialogs_;
    FontChooser chooseFont_;
    FontSpec pendingFont_;
    FontSpec defaultFont_;
    std::string cardFile_;

    QLineEdit* password1_ = nullptr;
    QLineEdit* password2_ = nullptr;
    QComboBox* compression_ = nullptr;
    QCheckBox* wordWrap_ = nullptr;
    QLineEdit* cardSeparator_ = nullptr;
    QComboBox* indexListSide_ = nullptr;
    QLineEdit* autoSavePeriod_ = nullptr;
    QCheckBox* commandExec_ = nullptr;
    QLineEdit* indent_ = nullptr;
    QLineEdit* altFileName_ = nullptr;
};

}  // namespace tabellan
