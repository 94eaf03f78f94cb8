#include "launcher/pasted_lines.h"

namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\u00A0' || c == L'\u3000'; }

std::wstring_view Trimmed(std::wstring_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::vector<std::wstring> PastedAccounts(std::wstring_view text) {
  std::vector<std::wstring> accounts;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of(L"\r\n");
    std::wstring_view line = text.substr(0, end);
    line = Trimmed(line.substr(0, line.find(L'\t')));
    if (!line.empty()) accounts.emplace_back(line);
    if (end == std::wstring_view::npos) break;
    // CRLF ends one line, not two.
    const std::size_t next = text.compare(end, 2, L"\r\n") == 0 ? end + 2 : end + 1;
    text.remove_prefix(next);
  }
  return accounts;
}

std::wstring AccountLines(const std::vector<std::wstring>& accounts) {
  std::wstring lines;
  for (std::size_t i = 0; i < accounts.size(); ++i) {
    if (i > 0) lines += L"\r\n";
    lines += accounts[i];
  }
  return lines;
}
