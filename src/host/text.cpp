#include "host/text.h"

#include <cstdio>

std::size_t TextLength(std::string_view text) { return text.size(); }

std::string TextLeft(std::string_view text, std::int64_t count) {
  if (count <= 0) return {};
  if (static_cast<std::uint64_t>(count) >= text.size()) return std::string(text);
  return std::string(text.substr(0, static_cast<std::size_t>(count)));
}

std::string ToText(std::int32_t value) {
  char buffer[16];
  const int length = std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(value));
  return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

Bytes ToBytes(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  return Bytes{static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
               static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

Bytes ToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

std::string JoinTexts(std::initializer_list<std::string_view> parts) {
  std::size_t total = 0;
  for (std::string_view part : parts) total += part.size();
  std::string joined;
  joined.reserve(total);
  for (std::string_view part : parts) joined.append(part);
  return joined;
}

bool TextEquals(std::string_view a, std::string_view b) { return a == b; }

bool IsGbkLeadByte(std::uint8_t byte) { return byte >= 0x81 && byte <= 0xFE; }

std::size_t NextCharacter(std::string_view text, std::size_t at, LeadByteRule isLead) {
  return isLead(static_cast<std::uint8_t>(text[at])) && at + 1 < text.size() ? at + 2 : at + 1;
}

std::size_t FindLastCharacter(std::string_view text, char wanted, LeadByteRule isLead) {
  std::size_t found = std::string_view::npos;
  for (std::size_t at = 0; at < text.size(); at = NextCharacter(text, at, isLead))
    if (text[at] == wanted) found = at;
  return found;
}

std::wstring FillPlaceholders(std::wstring_view pattern, std::initializer_list<std::wstring_view> args) {
  std::wstring filled;
  filled.reserve(pattern.size());
  for (std::size_t at = 0; at < pattern.size(); ++at) {
    const wchar_t next = at + 1 < pattern.size() ? pattern[at + 1] : L'\0';
    if (pattern[at] == L'%' && next == L'%') {
      filled += L'%';
      ++at;
    } else if (pattern[at] == L'%' && next >= L'1' && next <= L'9' &&
               static_cast<std::size_t>(next - L'1') < args.size()) {
      filled += args.begin()[next - L'1'];
      ++at;
    } else {
      filled += pattern[at];
    }
  }
  return filled;
}
