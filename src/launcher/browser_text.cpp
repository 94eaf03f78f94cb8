#include "launcher/browser_text.h"

namespace {

// An optionally signed decimal integer, nothing else.
bool IsIconIndex(std::string_view text) {
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string_view Unquoted(std::string_view path) {
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  return path;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// ".exe" at `at`, in any case.
bool IsProgramExtensionAt(std::string_view text, std::size_t at) {
  return at + 4 <= text.size() && text[at] == '.' && AsciiLower(text[at + 1]) == 'e' &&
         AsciiLower(text[at + 2]) == 'x' && AsciiLower(text[at + 3]) == 'e';
}

}  // namespace

// Neither a comma, a quote, a digit, a sign nor ".exe" is ever the second
// byte of a double-byte character, so byte searches are safe here.
std::string BrowserPathFromIconLocation(std::string_view icon) {
  const std::size_t comma = icon.rfind(',');
  if (comma != std::string_view::npos && IsIconIndex(icon.substr(comma + 1))) icon = icon.substr(0, comma);
  return std::string(Unquoted(icon));
}

std::string BrowserPathFromOpenCommand(std::string_view command) {
  while (!command.empty() && command.front() == ' ') command.remove_prefix(1);
  if (!command.empty() && command.front() == '"') {
    const std::size_t close = command.find('"', 1);
    return std::string(command.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
  }
  for (std::size_t at = 0; at + 4 <= command.size(); ++at) {
    if (IsProgramExtensionAt(command, at) && (at + 4 == command.size() || command[at + 4] == ' '))
      return std::string(command.substr(0, at + 4));
  }
  return std::string(command);
}

std::string BrowserFileOfField(std::string_view field) { return std::string(Trimmed(Unquoted(Trimmed(field)))); }

bool HasProgramExtension(std::string_view path) {
  return path.size() >= 4 && IsProgramExtensionAt(path, path.size() - 4);
}
