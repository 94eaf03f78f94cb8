#pragma once
// The accounts in a text from the clipboard, and the text that the list's
// accounts go to the clipboard as. Wide texts: the clipboard's own.

#include <string>
#include <string_view>
#include <vector>

// One account per line (lines end at CRLF, LF or CR). A line copied from a
// spreadsheet row keeps only its first cell: it is cut at its first tab. Each
// is trimmed of spaces (also the no-break and the full-width space); the
// lines that are empty then give no account.
std::vector<std::wstring> PastedAccounts(std::wstring_view text);

// The accounts one per line in their order, CRLF between them and none after
// the last, so that pasting the text back gives the same rows.
std::wstring AccountLines(const std::vector<std::wstring>& accounts);
