#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/Registry.h"

namespace hostdeck {

// Empty, text (REG_SZ, or REG_EXPAND_SZ with its environment references expanded) or a
// 32-bit integer (REG_DWORD).
using RegistryValue = std::variant<std::monostate, std::wstring, std::int32_t>;

// Reads one named value. Text (expandable text expanded) and 32-bit values come back as such; every
// other type and every failure (missing key or value, no access) give the empty result. The key is
// looked up in the 32-bit programs' view first, where a 32-bit game writes it, and in the
// native view when it is not there. `root`: a predefined root key (registry_code::kLocalMachine).
RegistryValue ReadRegistryValue(Registry& registry, std::int32_t root, const std::wstring& subKey,
                                const std::wstring& valueName);

// The value as text: empty stays empty, an integer becomes its decimal digits.
std::wstring registryValueText(const RegistryValue& value);

}  // namespace hostdeck
