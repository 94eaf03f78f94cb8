#pragma once
// The browser command line and the rules for a profile folder name.

#include <string>
#include <string_view>

#include "host/text.h"

// The address every account window opens (set when the build is configured).
std::string_view ConsoleUrl();

// browser, then ` --user-data-dir="<profile>" google-chrome --app="<url>"`.
// The browser path is put in double quotes when `browserIsFile` (it names an
// existing file, so spaces in it must not split it); otherwise it stays as typed.
std::string BuildBrowserCommandLine(std::string_view browser, bool browserIsFile, std::string_view profileFolder,
                                    std::string_view url);

// True when the account text can serve as a folder (or nested folders joined
// by backslashes) inside the profile root: not empty, no empty, "." or ".."
// segment, not rooted, no drive, no character that a folder name may not
// hold, no segment ending in a space or dot, and no segment that could be
// another folder's short name ("~" and a digit, as in 138001~1: two accounts
// would then share a profile). Double-byte characters are read whole by the
// code page's rule `isLead`, so their second bytes are never taken for "\" or
// "|".
bool IsValidProfileName(std::string_view account, LeadByteRule isLead);
