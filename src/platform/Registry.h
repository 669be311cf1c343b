#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace hostdeck {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

// Which registry a 64-bit Windows shows: the one 32-bit programs see, or the native one.
enum class RegistryView { Bits32, Bits64 };

// Win32 codes the registry calls return and the value types the program reads.
namespace registry_code {
inline constexpr long kSuccess = 0;        // ERROR_SUCCESS
inline constexpr long kNotFound = 2;       // ERROR_FILE_NOT_FOUND
inline constexpr long kAccessDenied = 5;   // ERROR_ACCESS_DENIED
inline constexpr long kMoreData = 234;     // ERROR_MORE_DATA
inline constexpr std::uint32_t kText = 1;  // REG_SZ
inline constexpr std::uint32_t kExpandableText = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;  // REG_DWORD
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

class Registry {
  public:
    virtual ~Registry() = default;
    // Opens subKey below root for querying values; on failure returns null and the code.
    virtual std::unique_ptr<RegistryKey> openKey(RegistryRoot root, const std::wstring& subKey,
                                                 RegistryView view, long& error) = 0;
    // Replaces each %NAME% with that environment variable, as Windows does for the text of
    // a REG_EXPAND_SZ value; a reference to an unknown variable stays as it is.
    virtual std::wstring expandEnvironment(const std::wstring& text) = 0;
};

std::unique_ptr<Registry> makeSystemRegistry();

}  // namespace hostdeck
