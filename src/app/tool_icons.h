#pragma once
// Glyphs of the tool bar buttons: the desktop's icon theme where it has one, otherwise a
// small drawn badge, so the program needs no image files of its own.
#include <QIcon>

namespace tabellan {

// name: the button's object name (sbNew, sbOpen, ...).
QIcon ToolIcon(const QString& name);

}  // namespace tabellan
