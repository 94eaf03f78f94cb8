#pragma once
// The layout's fonts made for one resolution: F1 to F3 at their heights
// scaled, and the default GUI font (the stock one at the system resolution,
// a scaled copy of it at any other). Owns the fonts it makes.

#include <windows.h>

#include <array>

#include "host/handles.h"
#include "ui/layout.h"

class LayoutFonts {
 public:
  LayoutFonts() = default;
  explicit LayoutFonts(int dpi);
  // The font of that id; nullptr before the fonts are made.
  HFONT Get(FontId id) const;

 private:
  std::array<UniqueFont, 4> made_;  // by FontId; Default empty when the stock font serves
};

// The logical font of a stored font at `dpi`.
LOGFONTW LayoutLogFont(const FontSpec& font, int dpi);
