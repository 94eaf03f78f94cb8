#include "host/temporary_folder.h"

#include <windows.h>

#include "host/code_page.h"

namespace {

// The full long path of an existing folder, without a closing backslash;
// empty when it cannot be had.
std::wstring FullLongPath(const std::wstring& path) {
  std::wstring full(32768, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return {};
  full.resize(length);
  std::wstring longer(32768, L'\0');
  length = GetLongPathNameW(full.c_str(), longer.data(), static_cast<DWORD>(longer.size()));
  if (length > 0 && length < longer.size()) full.assign(longer.c_str(), length);
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  return full;
}

bool EqualIgnoringCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength) {
  return CompareStringOrdinal(a, aLength, b, bLength, TRUE) == CSTR_EQUAL;
}

}  // namespace

bool IsInsideTemporaryFolder(const std::string& folder) {
  wchar_t temporary[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
  if (length == 0 || length > MAX_PATH) return false;
  const std::wstring root = FullLongPath(temporary);
  const std::wstring inner = FullLongPath(WidenAnsi(folder));
  if (root.empty() || inner.size() < root.size()) return false;
  const int rootLength = static_cast<int>(root.size());
  if (!EqualIgnoringCase(inner.c_str(), rootLength, root.c_str(), rootLength)) return false;
  // "C:\Temp2" is not inside "C:\Temp"; a root that ends in a separator ("C:\") has it already.
  return inner.size() == root.size() || root.back() == L'\\' || inner[root.size()] == L'\\';
}
