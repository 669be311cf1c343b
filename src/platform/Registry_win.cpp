#include "platform/Registry.h"

#include <windows.h>

#include "platform/SystemMessage_win.h"
#include "platform/UniqueHandle_win.h"

namespace hostdeck {

namespace {

class Win32RegistryKey final : public RegistryKey {
  public:
    explicit Win32RegistryKey(UniqueRegistryKey key) : key_(std::move(key)) {}

    long queryValue(const std::wstring& name, std::uint32_t& type, void* data,
                    std::uint32_t& size) override {
        DWORD valueType = 0;
        DWORD valueSize = size;
        const LONG result = RegQueryValueExW(key_.get(), name.c_str(), nullptr, &valueType,
                                             static_cast<BYTE*>(data), &valueSize);
        type = valueType;
        size = valueSize;
        return result;
    }

  private:
    UniqueRegistryKey key_;
};

class Win32Registry final : public Registry {
  public:
    OpenedKey openKey(std::int32_t root, const std::wstring& subKey, RegistryView view) override {
        // The view flags are ignored on 32-bit Windows, where there is only one registry.
        const REGSAM access =
            KEY_QUERY_VALUE | (view == RegistryView::Bits32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY);
        UniqueRegistryKey key;
        // A predefined key's 32-bit value, sign-extended as Windows defines it in 64-bit code.
        const auto rootKey = reinterpret_cast<HKEY>(static_cast<LONG_PTR>(root));
        const LONG error = RegOpenKeyExW(rootKey, subKey.c_str(), 0, access, key.put());
        if (error != ERROR_SUCCESS) {
            return {nullptr, systemFailure(error, texts::kSystemReasonAlone, {},
                                           error == ERROR_FILE_NOT_FOUND ? Result::Status::NotFound
                                                                         : Result::Status::Failed)};
        }
        return {std::make_unique<Win32RegistryKey>(std::move(key)), Result::success()};
    }

    std::wstring expandEnvironment(const std::wstring& text) override {
        std::wstring expanded(text.size() + 1, L'\0');
        for (;;) {
            const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), expanded.data(),
                                                           static_cast<DWORD>(expanded.size()));
            if (needed == 0) return text;
            if (needed <= expanded.size()) {
                expanded.resize(needed - 1);  // without the NUL
                return expanded;
            }
            expanded.resize(needed);
        }
    }
};

}  // namespace

std::unique_ptr<Registry> makeSystemRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace hostdeck
