#include "ui/layout_fonts.h"

#include "ui/dpi.h"

LOGFONTW LayoutLogFont(const FontSpec& font, int dpi) {
  LOGFONTW logical = {};
  logical.lfHeight = -ScaleToDpi(font.height, dpi);  // character height, not cell height
  logical.lfWeight = FW_NORMAL;
  logical.lfCharSet = GB2312_CHARSET;
  logical.lfOutPrecision = OUT_DEFAULT_PRECIS;
  logical.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  logical.lfQuality = DEFAULT_QUALITY;
  logical.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynW(logical.lfFaceName, font.face, LF_FACESIZE);
  return logical;
}

LayoutFonts::LayoutFonts(int dpi) {
  for (FontId id : {FontId::F1, FontId::F2, FontId::F3}) {
    const LOGFONTW logical = LayoutLogFont(kFonts[static_cast<std::size_t>(id)], dpi);
    made_[static_cast<std::size_t>(id)].reset(CreateFontIndirectW(&logical));
  }
  // The stock font is made at the system resolution: scale it from there.
  const int system = SystemDpi();
  LOGFONTW standard = {};
  if (dpi != system && GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof standard, &standard) == sizeof standard) {
    standard.lfHeight = MulDiv(standard.lfHeight, dpi, system);
    standard.lfWidth = MulDiv(standard.lfWidth, dpi, system);
    made_[0].reset(CreateFontIndirectW(&standard));
  }
}

HFONT LayoutFonts::Get(FontId id) const {
  const auto index = static_cast<std::size_t>(id);
  if (made_[index]) return made_[index].get();
  if (id == FontId::Default && made_[1]) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  return nullptr;
}
