#include "launcher/command_line.h"

#include <array>
#include <cstdint>

#include "host/text.h"

#ifndef KESTRUN_CONSOLE_URL
#error "KESTRUN_CONSOLE_URL is set by the build (src/launcher/CMakeLists.txt)"
#endif

std::string_view ConsoleUrl() { return KESTRUN_CONSOLE_URL; }

std::string BuildBrowserCommandLine(std::string_view browser, bool browserIsFile, std::string_view profileFolder,
                                    std::string_view url) {
  // Without quotes, Windows would try "C:\Program.exe" and the like first for
  // a path with spaces; a path that names no file is passed on as typed.
  const std::string_view quote = browserIsFile ? "\"" : "";
  return JoinTexts(
      {quote, browser, quote, " --user-data-dir=\"", profileFolder, "\" google-chrome --app=\"", url, "\""});
}

namespace {

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

// Windows opens a device for these names, also with an extension ("nul.txt")
// and with blanks before the extension ("con .txt").
bool IsReservedDeviceName(std::string_view segment) {
  std::string_view base = segment.substr(0, segment.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  static constexpr std::array<std::string_view, 4> kNames = {"CON", "PRN", "AUX", "NUL"};
  for (std::string_view name : kNames) {
    if (EqualsIgnoringCase(base, name)) return true;
  }
  if (base.size() == 4 && base[3] >= '1' && base[3] <= '9') {
    const std::string_view prefix = base.substr(0, 3);
    return EqualsIgnoringCase(prefix, "COM") || EqualsIgnoringCase(prefix, "LPT");
  }
  return false;
}

bool IsForbiddenSingleByte(std::uint8_t byte) {
  if (byte < 0x20) return true;  // the zero byte and the control characters
  switch (byte) {
    case '<':
    case '>':
    case ':':
    case '"':
    case '|':
    case '?':
    case '*':
    case '/':
      return true;
    default:
      return false;
  }
}

// A byte that the double-byte code pages pair with a lead byte.
bool IsTrailByte(std::uint8_t byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

// "~" followed by a digit: the form of a generated short name, which the system
// may resolve to another account's folder.
bool MayBeShortName(std::string_view segment) {
  for (std::size_t at = segment.find('~'); at != std::string_view::npos; at = segment.find('~', at + 1))
    if (at + 1 < segment.size() && segment[at + 1] >= '0' && segment[at + 1] <= '9') return true;
  return false;
}

// One folder name: `endsInDotOrSpace` tells about its last character, which is
// what Windows would strip (so ".. " would climb out of the profile root).
// `~` and the digits are single bytes in every code page the system runs on,
// and never the second byte of a character, so a byte search finds them.
bool IsValidSegment(std::string_view segment, bool endsInDotOrSpace) {
  return !segment.empty() && !endsInDotOrSpace && !IsReservedDeviceName(segment) && !MayBeShortName(segment);
}

}  // namespace

bool IsValidProfileName(std::string_view account, LeadByteRule isLead) {
  if (account.empty()) return false;
  std::size_t segmentStart = 0;
  bool endsInDotOrSpace = false;
  std::size_t i = 0;
  while (i < account.size()) {
    const auto byte = static_cast<std::uint8_t>(account[i]);
    if (isLead(byte)) {
      // Read the character whole: its second byte may be 0x5C or 0x7C.
      if (i + 1 >= account.size() || !IsTrailByte(static_cast<std::uint8_t>(account[i + 1]))) return false;
      endsInDotOrSpace = false;
      i += 2;
      continue;
    }
    if (byte == '\\') {
      if (!IsValidSegment(account.substr(segmentStart, i - segmentStart), endsInDotOrSpace)) return false;
      segmentStart = i + 1;
      endsInDotOrSpace = false;
    } else if (IsForbiddenSingleByte(byte)) {
      return false;
    } else {
      endsInDotOrSpace = byte == '.' || byte == ' ';
    }
    ++i;
  }
  return IsValidSegment(account.substr(segmentStart), endsInDotOrSpace);
}
