#include "launch/mdlRegedit.h"
#include "texts/UserTexts.h"

#include <algorithm>
#include <vector>

namespace hostdeck {

namespace {

using namespace registry_code;

// A value may grow between asking for its size and reading it; try again a few times.
constexpr int kReadAttempts = 4;

RegistryValue readText(RegistryKey& key, const std::wstring& name, std::uint32_t expectedType,
                       std::uint32_t size) {
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        // One spare character, so that text stored without its NUL still fits whole.
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        std::uint32_t type = 0;
        std::uint32_t got = static_cast<std::uint32_t>(buffer.size() * sizeof(wchar_t));
        const long result = key.queryValue(name, type, buffer.data(), got);
        if (result == kMoreData) {
            size = got;
            continue;
        }
        if (result != kSuccess || type != expectedType) return {};
        std::wstring text(buffer.data(),
                          std::min<std::size_t>(got / sizeof(wchar_t), buffer.size()));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return text;
    }
    return {};
}

RegistryValue readDword(RegistryKey& key, const std::wstring& name) {
    std::uint32_t number = 0;
    std::uint32_t type = 0;
    std::uint32_t size = sizeof number;
    if (key.queryValue(name, type, &number, size) != kSuccess || type != kDword) return {};
    return static_cast<std::int32_t>(number);
}

}  // namespace

RegistryValue ReadRegistryValue(Registry& registry, std::int32_t root, const std::wstring& subKey,
                                const std::wstring& valueName) {
    OpenedKey opened = registry.openKey(root, subKey, RegistryView::Bits32);
    if (opened.result.status == Result::Status::NotFound)
        opened = registry.openKey(root, subKey, RegistryView::Bits64);
    const std::unique_ptr<RegistryKey>& key = opened.key;
    if (!key) return {};

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (key->queryValue(valueName, type, nullptr, size) != kSuccess) return {};
    switch (type) {
        case kText:
            return readText(*key, valueName, kText, size);
        case kExpandableText: {
            // Text as well, with %NAME% references to expand, as RegGetValue does.
            RegistryValue value = readText(*key, valueName, kExpandableText, size);
            if (auto* text = std::get_if<std::wstring>(&value))
                *text = registry.expandEnvironment(*text);
            return value;
        }
        case kDword:
            return readDword(*key, valueName);
        default:
            return {};
    }
}

std::wstring registryValueText(const RegistryValue& value) {
    if (const auto* text = std::get_if<std::wstring>(&value)) return *text;
    if (const auto* number = std::get_if<std::int32_t>(&value)) return texts::number(*number);
    return {};
}

}  // namespace hostdeck
