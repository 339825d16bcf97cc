#pragma once
// Geometry of the two panes (card editor and index list) and of the divider between them.
// Plain arithmetic, so the window only translates events and places widgets.
#include <optional>

namespace tabellan {

inline constexpr int kPaneMargin = 10;
// The divider cannot be dragged closer than this to the right edge.
inline constexpr int kDividerRightLimit = 15;

struct PaneWidths {
    int editor = 0;
    int indexList = 0;
    bool operator==(const PaneWidths&) const = default;
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

struct PaneGeometry {
    Rect editor;
    Rect indexList;
};

// Widths for a new client width, keeping the ratio of the old widths (rounded to nearest).
// A zero total, which the commands never produce, splits the space like a new file would.
PaneWidths ResizePanes(PaneWidths old, int clientWidth);

// Widths from the file settings: the editor gets cardWidth, the index list the rest.
PaneWidths PanesFromCardWidth(int cardWidth, int clientWidth);

// Places the panes: the left one at the margin, the right one after the divider.
// top: where the panes start (below the tool bar); height: their height.
PaneGeometry PlacePanes(PaneWidths w, bool indexListAtRight, int top, int height);

// The strip strictly between the left pane's right edge and the right pane's left edge.
bool InDividerZone(PaneWidths w, bool indexListAtRight, int x);

// The divider moved to x (by a drag with the left button down, or a double click): the new
// widths, or nothing when the event does not move it.
std::optional<PaneWidths> RearrangeAt(bool indexListAtRight, int clientWidth, int x,
                                      bool leftButtonDown, bool doubleClick);

}  // namespace tabellan
