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

// Whether every character of the font has the same advance, measured on the glyphs rather
// than taken from the font's metadata (which some installed fonts lack or state wrongly).
bool DrawsFixedPitch(const QFont& font);

// A family of this desktop that draws fixed pitch: the desktop's fixed font when it does,
// else the first installed family that does; the desktop's fixed font when none does.
QString FixedPitchFamily();

QFont FontFromSpec(const FontSpec& spec);
// 0x00BBGGRR, or a system colour value (high byte 0x80) taken from the palette.
QColor ColorFromSpec(std::uint32_t color, const QPalette& palette);

}  // namespace tabellan
