#pragma once
// Labels keep their text whole at every resolution without leaving their
// scaled rectangle. A font's line height does not scale exactly with its
// character height, so a label whose lines only just fit at 96 dpi can lose
// part of its last line at another resolution: such a label alone takes its
// font a pixel or two smaller, at most kLabelFontReductionLimit (scaled).

#include <windows.h>

#include "host/handles.h"

// Character height a label may give up, in pixels at 96 dpi: enough for the
// layout's labels under substitute fonts, small enough that the text still
// reads as the font it was set in.
constexpr int kLabelFontReductionLimit = 2;

// The height the label needs for its text at its current width in `font`:
// the empty lines and spaces at the end of a text draw nothing.
int LabelTextHeight(HWND label, HFONT font);

// The font the label needs for its whole text to fit its height: empty when
// `font` serves; else `font` (same face, weight and character set) at the
// largest character height below its own at which the text fits, or at the
// limit's height when none within the limit does.
UniqueFont FitLabelFont(HWND label, HFONT font, int dpi);
