#pragma once
// Where the system puts files that do not last.

#include <string>

// True when `folder` is the user's temporary folder (GetTempPathW) or lies
// inside it. Both are compared as full long paths, without regard to case,
// so that a short 8.3 spelling of either still matches.
bool IsInsideTemporaryFolder(const std::string& folder);
