#include "app/setup_page.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/card_editor_adapter.h"
#include "app/limited_line_edit.h"
#include "app/run_command.h"

namespace tabellan {

SetupPage::SetupPage(const char* name, Prompter& prompter, QWidget* parent)
    : QWidget(parent), prompter_(prompter) {
    setObjectName(QString::fromLatin1(name));
}

QLineEdit* SetupPage::AddEdit(const char* name, int maxLength) {
    auto* edit = maxLength > 0 ? new LimitedLineEdit(maxLength, this) : new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QCheckBox* SetupPage::AddCheck(const char* name, const QString& caption) {
    auto* check = new QCheckBox(caption, this);
    check->setObjectName(QString::fromLatin1(name));
    return check;
}

QPushButton* SetupPage::AddButton(const char* name, const QString& caption,
                                  std::function<void()> handler) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this,
            [this, handler = std::move(handler)] { RunCommand(prompter_, handler); });
    return button;
}

QLabel* SetupPage::Label(const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption);
    label->setBuddy(buddy);
    return label;
}

QString SetupPage::ToQt(const std::string& text) const {
    return AnsiToQString(text, cp_);
}

std::string SetupPage::ToAnsi(const QString& text) const {
    return QStringToAnsi(text, cp_);
}

}  // namespace tabellan
