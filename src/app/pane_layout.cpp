#include "app/pane_layout.h"

#include <algorithm>

namespace tabellan {

namespace {

int LeftWidth(PaneWidths w, bool indexListAtRight) {
    return indexListAtRight ? w.editor : w.indexList;
}

PaneWidths FromLeftRight(int left, int right, bool indexListAtRight) {
    return indexListAtRight ? PaneWidths{left, right} : PaneWidths{right, left};
}

int Available(int clientWidth) {
    return std::max(0, clientWidth - 3 * kPaneMargin);
}

}  // namespace

PaneWidths ResizePanes(PaneWidths old, int clientWidth) {
    const long long available = Available(clientWidth);
    const long long editor = std::max(0, old.editor);
    const long long index = std::max(0, old.indexList);
    const long long total = editor + index;
    if (total == 0) {
        const int e = static_cast<int>(available * 8 / 13);
        return {e, static_cast<int>(available) - e};
    }
    const long long half = (total + 1) / 2;
    return {static_cast<int>((available * editor + half) / total),
            static_cast<int>((available * index + half) / total)};
}

PaneWidths PanesFromCardWidth(int cardWidth, int clientWidth) {
    const int available = Available(clientWidth);
    const int editor = std::clamp(cardWidth, 0, available);
    return {editor, available - editor};
}

PaneGeometry PlacePanes(PaneWidths w, bool indexListAtRight, int top, int height) {
    const int left = LeftWidth(w, indexListAtRight);
    const int h = std::max(0, height);
    const Rect leftRect{kPaneMargin, top, left, h};
    const Rect rightRect{left + 2 * kPaneMargin, top, indexListAtRight ? w.indexList : w.editor, h};
    return indexListAtRight ? PaneGeometry{leftRect, rightRect} : PaneGeometry{rightRect, leftRect};
}

bool InDividerZone(PaneWidths w, bool indexListAtRight, int x) {
    const int left = LeftWidth(w, indexListAtRight);
    return x > kPaneMargin + left && x < left + 2 * kPaneMargin;
}

std::optional<PaneWidths> RearrangeAt(bool indexListAtRight, int clientWidth, int x,
                                      bool leftButtonDown, bool doubleClick) {
    if (!(leftButtonDown || doubleClick) || x >= clientWidth - kDividerRightLimit) {
        return std::nullopt;
    }
    if (doubleClick) {
        const int k = indexListAtRight ? 8 : 5;
        x = (clientWidth - 29) * k / 13 + 15;
    }
    const int available = Available(clientWidth);
    // A drag past the left margin would give a negative width: the pane just closes.
    const int left = std::clamp(x - 15, 0, available);
    return FromLeftRight(left, available - left, indexListAtRight);
}

}  // namespace tabellan
