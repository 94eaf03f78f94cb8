#pragma once
// Resource numbers of the program file, shared by the resource script and
// the code (plain defines: the resource compiler reads this file too).

#define KL_ICON_RESOURCE 1
#define KL_PICTURE_RESOURCE 101
