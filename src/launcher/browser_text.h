#pragma once
// Reading the browser's path out of the texts the system registers for it.

#include <string>
#include <string_view>

// The path of an icon location "<path>,<icon index>": cut at the last comma
// only when what follows it is an icon index (an integer, optionally signed),
// so that a path holding a comma survives; double quotes around the path go.
std::string BrowserPathFromIconLocation(std::string_view icon);

// The program of an open command: the quoted first part of `"<path>" <args>`,
// or, unquoted, the text up to and including its first ".exe" (the whole text
// when it has none). Leading blanks are skipped.
std::string BrowserPathFromOpenCommand(std::string_view command);

// The file that the browser path field names: the text without the blanks
// around it and, when it is written inside double quotes, without them.
std::string BrowserFileOfField(std::string_view field);

// True when the path's name ends in ".exe", in any case.
bool HasProgramExtension(std::string_view path);
