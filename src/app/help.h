#pragma once
// The on-line help: HTML pages shipped with the program, shown in the program's own help
// window (help_window.h) at a topic name or at a help context number (anchor "h" + number).
#include <QString>
#include <QUrl>

class QObject;

namespace tabellan {

inline constexpr const char* kHelpTopics = "H_TOPICS";
inline constexpr const char* kHelpContextProperty = "helpContext";

// The folder of the help pages: next to the executable, then the installed share folder,
// then the source tree.
QString HelpDirectory();
QUrl HelpTopicUrl(const QString& topic);
QUrl HelpContextUrl(int context);

// Opening goes through a replaceable function, so tests see what would open; nullptr
// restores the help window.
using HelpOpener = void (*)(const QUrl&);
void SetHelpOpener(HelpOpener opener);
void OpenHelp(const QUrl& url);
void ShowHelpTopic(const QString& topic);
void ShowHelpContext(int context);

// The help context of an object: its own property, else its parents'; 0 when none.
int HelpContextOf(const QObject* object);
void SetHelpContext(QObject* object, int context);

}  // namespace tabellan
