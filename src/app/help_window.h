#pragma once
// The program's own help viewer: the HTML help pages in a window of their own, so help works
// without a web browser. A window opened while a dialog is modal belongs to that dialog, so it
// can be read and scrolled while the dialog waits, and closes with it; otherwise it belongs
// to the main window and is reused.
#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace tabellan {

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* owner);

    // Shows the page at the url's anchor and raises the window.
    void ShowTopic(const QUrl& url);
    QTextBrowser& Browser() const { return *browser_; }

  private:
    void PlaceOverOwner();

    QTextBrowser* browser_ = nullptr;
    bool placed_ = false;
};

// The window for help asked for now: the active modal dialog's, else the active window's,
// else the main window's; made when it has none.
HelpWindow& HelpWindowForActiveWindow();

// The program's help opener: after the current event is handled (a message box shows itself
// again after its Help button), shows url in the help window of the window active then.
void OpenInHelpWindow(const QUrl& url);

}  // namespace tabellan
