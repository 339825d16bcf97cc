#pragma once
// The main window's layout: the card editor and the index list side by side with the
// divider between them, and the window's placement, which travels in each card file's
// header. Left and Top there are the client area's edge, as placed and as recorded: the frame
// belongs to the window manager. The geometry itself is pane_layout.h's arithmetic.
#include <QObject>
#include <optional>

#include "app/pane_layout.h"
#include "cardfile/file_settings.h"

class QMainWindow;
class QToolBar;
class QWidget;

namespace tabellan {

class WindowLayout : public QObject {
    Q_OBJECT
  public:
    // Places the window and the panes as a new file has them. surface: the window's own
    // area around the panes, where the divider is dragged.
    WindowLayout(QMainWindow& window, QWidget& surface, QWidget& editor, QWidget& indexList,
                 QToolBar& toolBar);

    PaneWidths Panes() const { return panes_; }
    bool IndexListAtRight() const { return indexListAtRight_; }
    int ClientWidth() const;
    int ClientHeight() const;

    void PlaceControls();
    // The window was resized: the panes keep their ratio.
    void FormResize();
    // The divider handlers, with x in client coordinates.
    void FormRearrangeControls(int x, bool leftButtonDown, bool doubleClick);
    // The refresh's step: while the window state is normal, its placement is what a save
    // records.
    void RememberPlacement();

    // The layout settings of a file (placement, window state, card width, index list side);
    // values that did not change since they were last applied or recorded are left alone,
    // so a clear that keeps them does not undo what the user arranged since.
    void Apply(const FileSettings& settings);
    // The layout into the settings, before a write.
    void Capture(FileSettings& settings);

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    int MenuBarHeight() const;
    void ApplyPlacement(const FileSettings& settings);
    void HandleSurfaceMouse(QEvent* e);

    QMainWindow& window_;
    QWidget& surface_;
    QWidget& editor_;
    QWidget& indexList_;
    QToolBar& toolBar_;
    PaneWidths panes_;
    bool indexListAtRight_ = true;
    // Placement while the window state is normal: what a save records.
    int rememberedClientHeight_ = 360;
    int rememberedClientWidth_ = 680;
    int rememberedTop_ = 120;
    int rememberedLeft_ = 200;
    std::optional<FileSettings> applied_;  // the layout values last applied or recorded
    bool dividerDragging_ = false;
};

}  // namespace tabellan
