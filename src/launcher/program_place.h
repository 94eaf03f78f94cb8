#pragma once
// Whether the program runs from a place that lasts, with its folder whole.

#include "launcher/program_paths.h"

// False when the program folder lies inside the user's temporary folder (an
// archive tool runs a program opened inside a zip from there, and removes
// it again) or the template profile is missing beside the program: the list
// would be stored where it disappears, and launches would have no template.
bool IsUnpackedToLastingPlace(const ProgramPaths& paths);

// True when the template profile folder is there to be copied.
bool HasTemplateProfile(const ProgramPaths& paths);
