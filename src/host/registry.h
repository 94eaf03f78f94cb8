#pragma once
// Reading texts from the registry.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Root numbers: 1 HKEY_CLASSES_ROOT, 2 HKEY_CURRENT_CONFIG, 3 HKEY_CURRENT_USER,
// 4 HKEY_LOCAL_MACHINE, 5 HKEY_USERS, anything else HKEY_CURRENT_USER.
//
// `path` is a key path, a backslash and a value name, split at the last
// backslash (a trail byte of a double-byte character is never taken for it).
// Only REG_SZ and REG_EXPAND_SZ (expanded) are read. nullopt on any failure;
// a value holding the empty text gives the empty text.
//
// `view` picks the 64-bit or the 32-bit registry where the two differ.
enum class RegistryView { Default, Bits64, Bits32 };
std::optional<std::string> TryReadRegistryText(std::int32_t root, std::string_view path,
                                               RegistryView view = RegistryView::Default);

// The names of the key's direct subkeys, in the registry's order; empty when
// the key cannot be opened.
std::vector<std::string> ListRegistrySubkeys(std::int32_t root, const std::string& keyPath,
                                             RegistryView view = RegistryView::Default);

// The same, with `fallback` on failure.
std::string ReadRegistryText(std::int32_t root, std::string_view path, std::string_view fallback = {});

// The default value of a key under HKEY_CLASSES_ROOT (REG_SZ, or REG_EXPAND_SZ
// expanded), in wide characters: the texts of file types need not fit the
// ANSI code page. Empty when there is none.
std::wstring ReadClassesRootDefaultW(const std::wstring& key);
