#pragma once
// Find by typing in the account list: what was typed since the last pause,
// where the search goes on from, and the match of a typed text inside an
// account text, character by character of the ANSI code page.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "host/text.h"

// True when `typed` (not empty) stands in `text` from a character boundary on:
// the second byte of a double-byte character never starts a match. Letters of
// the ASCII range match whatever their case.
bool ContainsTyped(std::string_view text, std::string_view typed, LeadByteRule isLead);

// The first of the `rows` rows from `start` on, round to the top and on up to
// the row before `start`, whose text (`textOf`) contains `typed`; -1 for none.
std::int32_t FindRowContaining(std::int32_t rows, std::int32_t start, std::string_view typed,
                               const std::function<std::string(std::int32_t)>& textOf, LeadByteRule isLead);

class TypedSearch {
 public:
  // A pause longer than this ends what was typed.
  static constexpr std::uint32_t kPauseMs = 1000;

  // A character typed at `nowMs` (a millisecond count that may wrap), its
  // bytes in the ANSI code page; `spelled` false when the code page has no
  // such character (then no row can match until the next pause). Returns the
  // row to search from: after a pause the row after `selectedRow` (-1 none),
  // else the row found last (or where the search began, when none was found).
  std::int32_t Type(std::string_view character, bool spelled, std::uint32_t nowMs, std::int32_t selectedRow);
  // The search found this row: the next character searches from it.
  void Found(std::int32_t row) { from_ = row; }

  const std::string& Typed() const { return typed_; }
  bool Spelled() const { return spelled_; }

 private:
  std::string typed_;
  bool spelled_ = true;
  bool any_ = false;  // a character was typed before
  std::uint32_t lastMs_ = 0;
  std::int32_t from_ = 0;
};
