#include "launcher/typed_search.h"

namespace {

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when the characters of `typed` follow one another in `text` from `at`.
bool MatchesAt(std::string_view text, std::size_t at, std::string_view typed, LeadByteRule isLead) {
  std::size_t t = 0;
  while (t < typed.size()) {
    if (at >= text.size()) return false;
    const std::size_t textNext = NextCharacter(text, at, isLead);
    const std::size_t typedNext = NextCharacter(typed, t, isLead);
    const std::string_view a = text.substr(at, textNext - at);
    const std::string_view b = typed.substr(t, typedNext - t);
    if (a.size() != b.size()) return false;
    if (a.size() == 1 ? FoldAscii(a[0]) != FoldAscii(b[0]) : a != b) return false;
    at = textNext;
    t = typedNext;
  }
  return true;
}

}  // namespace

bool ContainsTyped(std::string_view text, std::string_view typed, LeadByteRule isLead) {
  if (typed.empty()) return false;
  for (std::size_t at = 0; at < text.size(); at = NextCharacter(text, at, isLead))
    if (MatchesAt(text, at, typed, isLead)) return true;
  return false;
}

std::int32_t FindRowContaining(std::int32_t rows, std::int32_t start, std::string_view typed,
                               const std::function<std::string(std::int32_t)>& textOf, LeadByteRule isLead) {
  if (rows <= 0 || typed.empty()) return -1;
  if (start < 0 || start >= rows) start = 0;
  for (std::int32_t i = 0; i < rows; ++i) {
    const std::int32_t row = (start + i) % rows;
    if (ContainsTyped(textOf(row), typed, isLead)) return row;
  }
  return -1;
}

std::int32_t TypedSearch::Type(std::string_view character, bool spelled, std::uint32_t nowMs,
                               std::int32_t selectedRow) {
  // Unsigned difference: right also across the wrap of the count.
  const bool fresh = !any_ || nowMs - lastMs_ > kPauseMs;
  any_ = true;
  lastMs_ = nowMs;
  if (fresh) {
    typed_.clear();
    spelled_ = true;
    from_ = selectedRow + 1;
  }
  typed_.append(character);
  spelled_ = spelled_ && spelled;
  return from_;
}
