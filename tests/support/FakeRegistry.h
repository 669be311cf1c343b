#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace hostdeck::fakes {

// An in-memory registry with both views.
class FakeRegistry final : public Registry {
  public:
    struct Value {
        std::uint32_t type = 0;
        std::vector<unsigned char> bytes;
    };
    // Keyed "32:<key>\<name>" or "64:<key>\<name>", after the view.
    std::map<std::wstring, Value> values;
    // Runs before each query that passes a data buffer: may change the value, or fail.
    std::function<long(Value&, int dataQueriesBefore)> beforeDataQuery;

    // Every key is below HKEY_LOCAL_MACHINE.
    OpenedKey openKey(std::int32_t root, const std::wstring& subKey, RegistryView view) override {
        if (root != registry_code::kLocalMachine) return {nullptr, Result::notFound()};
        const std::wstring prefix =
            (view == RegistryView::Bits32 ? L"32:" : L"64:") + subKey + L"\\";
        const auto found = values.lower_bound(prefix);
        if (found == values.end() || !found->first.starts_with(prefix))
            return {nullptr, Result::notFound()};
        return {std::make_unique<Key>(*this, prefix), Result::success()};
    }
    // Marks what it was asked to expand.
    std::wstring expandEnvironment(const std::wstring& text) override { return L"<" + text + L">"; }

  private:
    struct Key final : RegistryKey {
        FakeRegistry& owner;
        std::wstring prefix;
        int dataQueries = 0;
        Key(FakeRegistry& o, std::wstring p) : owner(o), prefix(std::move(p)) {}
        long queryValue(const std::wstring& name, std::uint32_t& type, void* data,
                        std::uint32_t& size) override {
            const auto found = owner.values.find(prefix + name);
            if (found == owner.values.end()) return registry_code::kNotFound;
            Value& value = found->second;
            const long failure =
                data && owner.beforeDataQuery ? owner.beforeDataQuery(value, dataQueries++) : 0;
            if (failure) return failure;
            type = value.type;
            const auto needed = static_cast<std::uint32_t>(value.bytes.size());
            const bool fits = size >= needed;
            size = needed;
            if (data && !fits) return registry_code::kMoreData;
            if (data) std::memcpy(data, value.bytes.data(), needed);
            return registry_code::kSuccess;
        }
    };
};

// A text value, REG_SZ unless another type is given, and a REG_DWORD value.
inline FakeRegistry::Value sz(const std::wstring& text, std::uint32_t type = registry_code::kText) {
    const auto* raw = reinterpret_cast<const unsigned char*>(text.c_str());
    return {type, {raw, raw + (text.size() + 1) * sizeof(wchar_t)}};
}
inline FakeRegistry::Value dword(std::uint32_t number) {
    FakeRegistry::Value value{registry_code::kDword, std::vector<unsigned char>(4)};
    std::memcpy(value.bytes.data(), &number, 4);
    return value;
}

}  // namespace hostdeck::fakes
