#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Result.h"

namespace hostdeck {

// Which registry a 64-bit Windows shows: the one 32-bit programs see, or the native one.
enum class RegistryView { Bits32, Bits64 };

// Win32 codes that a value query returns and the value types the program reads.
namespace registry_code {
inline constexpr long kSuccess = 0;                  // ERROR_SUCCESS
inline constexpr long kNotFound = 2;                 // ERROR_FILE_NOT_FOUND
inline constexpr long kMoreData = 234;               // ERROR_MORE_DATA
inline constexpr std::uint32_t kText = 1;            // REG_SZ
inline constexpr std::uint32_t kExpandableText = 2;  // REG_EXPAND_SZ
inline constexpr std::uint32_t kDword = 4;           // REG_DWORD
// A predefined root key, as the 32-bit handle value Windows gives it.
inline constexpr std::int32_t kLocalMachine = static_cast<std::int32_t>(0x80000002);  // HKLM
}  // namespace registry_code

// An open registry key, opened for querying only; destroying it closes it.
class RegistryKey {
  public:
    virtual ~RegistryKey() = default;
    // As RegQueryValueExW: with no data, reports only the type and the size in bytes; with
    // data, `size` is the buffer's size in and the value's size out (kMoreData when it
    // does not fit).
    virtual long queryValue(const std::wstring& name, std::uint32_t& type, void* data,
                            std::uint32_t& size) = 0;
};

// A key that openKey() opened, or, when `key` is null, why it could not (NotFound when the
// key is not there).
struct OpenedKey {
    std::unique_ptr<RegistryKey> key;
    Result result;
};

class Registry {
  public:
    virtual ~Registry() = default;
    // Opens subKey below root (a predefined root key such as kLocalMachine) for querying values.
    virtual OpenedKey openKey(std::int32_t root, const std::wstring& subKey, RegistryView view) = 0;
    // Replaces each %NAME% with that environment variable, as Windows does for the text of
    // a REG_EXPAND_SZ value; a reference to an unknown variable stays as it is.
    virtual std::wstring expandEnvironment(const std::wstring& text) = 0;
};

std::unique_ptr<Registry> makeSystemRegistry();

}  // namespace hostdeck
