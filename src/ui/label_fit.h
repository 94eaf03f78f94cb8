#pragma once
// Labels keep their text whole at every resolution. A font's line height does
// not scale exactly with its character height, so a label whose lines only
// just fit at 96 dpi can lose part of its last line at another resolution:
// such a label grows downward by the pixels its text needs, at most
// kLabelGrowthLimit (scaled). Its position and width never change.

#include <windows.h>

constexpr int kLabelGrowthLimit = 6;  // pixels at 96 dpi

// The height the label needs for its text in its current font at its current
// width: the empty lines and spaces at the end of a text draw nothing.
int LabelTextHeight(HWND label);

// Makes the label (placed at its table rectangle) as tall as its text needs,
// within the limit.
void GrowLabelToItsText(HWND label, int tableHeight, int dpi);
