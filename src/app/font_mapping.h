#pragma once
// The card font as the file settings describe it (Windows faces, heights and colour values)
// mapped onto the fonts and colours of this desktop. The settings keep their own values, so
// a file saved here still names its original face.
#include <QColor>
#include <QFont>
#include <QPalette>
#include <cstdint>

#include "cardfile/file_settings.h"

namespace tabellan {

// The system colour "window text".
inline constexpr std::uint32_t kWindowTextColor = 0x80000008u;

// Faces of the Windows desktop that stand for a fixed-pitch font.
bool IsWindowsFixedFace(const QString& name);

QFont FontFromSpec(const FontSpec& spec);
// 0x00BBGGRR, or a system colour value (high byte 0x80) taken from the palette.
QColor ColorFromSpec(std::uint32_t color, const QPalette& palette);

}  // namespace tabellan
