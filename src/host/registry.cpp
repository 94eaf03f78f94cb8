#include "host/registry.h"

#include <windows.h>

#include <cwchar>

#include "host/code_page.h"
#include "host/handles.h"
#include "host/text.h"

namespace {

HKEY RootKey(std::int32_t root) {
  switch (root) {
    case 1:
      return HKEY_CLASSES_ROOT;
    case 2:
      return HKEY_CURRENT_CONFIG;
    case 4:
      return HKEY_LOCAL_MACHINE;
    case 5:
      return HKEY_USERS;
    default:
      return HKEY_CURRENT_USER;
  }
}

REGSAM ViewFlag(RegistryView view) {
  switch (view) {
    case RegistryView::Bits64:
      return KEY_WOW64_64KEY;
    case RegistryView::Bits32:
      return KEY_WOW64_32KEY;
    default:
      return 0;
  }
}

// The text up to the first zero byte (or the whole block when it has none).
std::string TextOf(const std::string& block) { return block.substr(0, block.find('\0')); }

std::optional<std::string> Expand(const std::string& text) {
  const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::string expanded(needed, '\0');
  if (ExpandEnvironmentStringsA(text.c_str(), expanded.data(), needed) == 0) return std::nullopt;
  return TextOf(expanded);
}

}  // namespace

std::optional<std::string> TryReadRegistryText(std::int32_t root, std::string_view path, RegistryView view) {
  // The second byte of a double-byte character may be 0x5C too.
  const std::size_t separator = FindLastCharacter(path, '\\', IsAnsiLeadByte);
  const std::string keyPath(separator == std::string_view::npos ? std::string_view() : path.substr(0, separator));
  const std::string valueName(separator == std::string_view::npos ? path : path.substr(separator + 1));

  UniqueRegKey key;
  if (RegOpenKeyExA(RootKey(root), keyPath.c_str(), 0, KEY_READ | ViewFlag(view), key.put()) != ERROR_SUCCESS)
    return std::nullopt;

  // The value may change between the size query and the read: ask again then.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      return std::nullopt;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0) return std::nullopt;
    // One more zero byte, for a stored text that lacks its own.
    std::string block(size + 1, '\0');
    const LONG read =
        RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(block.data()), &size);
    if (read == ERROR_MORE_DATA) continue;
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0) return std::nullopt;
    block.resize(size);
    return type == REG_EXPAND_SZ ? Expand(TextOf(block)) : TextOf(block);
  }
  return std::nullopt;
}

std::string ReadRegistryText(std::int32_t root, std::string_view path, std::string_view fallback) {
  std::optional<std::string> text = TryReadRegistryText(root, path);
  return text ? *std::move(text) : std::string(fallback);
}

std::vector<std::string> ListRegistrySubkeys(std::int32_t root, const std::string& keyPath, RegistryView view) {
  std::vector<std::string> names;
  UniqueRegKey key;
  if (RegOpenKeyExA(RootKey(root), keyPath.c_str(), 0, KEY_READ | ViewFlag(view), key.put()) != ERROR_SUCCESS)
    return names;
  char name[256];  // the longest key name the registry allows, and its zero
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    const LONG result = RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

std::wstring ReadClassesRootDefaultW(const std::wstring& key) {
  UniqueRegKey opened;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, opened.put()) != ERROR_SUCCESS) return {};
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(opened.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegQueryValueExW(opened.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
      ERROR_SUCCESS)
    return {};
  text.resize(wcsnlen(text.c_str(), text.size()));
  if (type == REG_EXPAND_SZ) {
    std::wstring expanded(32768, L'\0');
    const DWORD n = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    if (n > 0 && n <= expanded.size()) text.assign(expanded.c_str());
  }
  return text;
}
