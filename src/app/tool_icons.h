#pragma once
// Glyphs of the tool bar buttons: the desktop's icon theme where it has the icon and it
// stands out from the tool bar, otherwise the program's own drawing. Some themes draw pale
// grey glyphs that look disabled while they are enabled. Whatever the source, a disabled
// button shows its glyph faded and without colour, so that it stands apart from an enabled
// one on a light and a dark theme alike.
#include <QColor>
#include <QIcon>

#include "app/command_table.h"

namespace tabellan {

// background: the tool bar's colour.
QIcon ToolIcon(const ToolGlyph& glyph, const QColor& background);

// How far the glyph's drawn pixels lie from the background, on average over their colour
// channels' largest difference (0..255).
double GlyphContrast(const QIcon& icon, const QColor& background);

// The disabled form of an enabled glyph's pixmap.
QPixmap FadedPixmap(const QPixmap& enabled);

}  // namespace tabellan
