#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Registry.h"

namespace hostdeck::testing {

// An in-memory registry with both views; counts opened and closed keys.
class FakeRegistry final : public Registry {
  public:
    struct Value {
        std::uint32_t type = 0;
        std::vector<unsigned char> bytes;
    };
    std::map<std::tuple<RegistryView, std::wstring, std::wstring>, Value> values;
    std::map<std::wstring, std::wstring> environment;  // for expandEnvironment()
    int opened = 0, closed = 0;
    std::vector<RegistryView> openedViews;
    // Runs before each query that passes a data buffer: may change the value, or fail.
    std::function<long(Value&, int dataQueriesBefore)> beforeDataQuery;

    static Value text(const std::wstring& text, std::uint32_t type = registry_code::kText) {
        const auto* raw = reinterpret_cast<const unsigned char*>(text.c_str());
        return {type, {raw, raw + (text.size() + 1) * sizeof(wchar_t)}};
    }
    static Value dword(std::uint32_t number) {
        Value value{registry_code::kDword, std::vector<unsigned char>(4)};
        std::memcpy(value.bytes.data(), &number, 4);
        return value;
    }

    OpenedKey openKey(RegistryRoot, const std::wstring& subKey, RegistryView view) override {
        openedViews.push_back(view);
        const auto found = values.lower_bound({view, subKey, L""});
        if (found == values.end() || std::get<0>(found->first) != view ||
            std::get<1>(found->first) != subKey) {
            return {nullptr, Result::notFound()};
        }
        ++opened;
        return {std::make_unique<Key>(*this, view, subKey), Result::success()};
    }
    std::wstring expandEnvironment(const std::wstring& text) override {
        std::wstring out = text;
        for (const auto& [name, value] : environment) {
            for (std::size_t at; (at = out.find(L"%" + name + L"%")) != std::wstring::npos;)
                out.replace(at, name.size() + 2, value);
        }
        return out;
    }

  private:
    struct Key final : RegistryKey {
        FakeRegistry& owner;
        RegistryView view;
        std::wstring path;
        int dataQueries = 0;
        Key(FakeRegistry& o, RegistryView v, std::wstring p) : owner(o), view(v), path(p) {}
        ~Key() override { ++owner.closed; }
        long queryValue(const std::wstring& name, std::uint32_t& type, void* data,
                        std::uint32_t& size) override {
            const auto found = owner.values.find({view, path, name});
            if (found == owner.values.end()) return registry_code::kNotFound;
            Value& value = found->second;
            if (data && owner.beforeDataQuery) {
                if (const long failure = owner.beforeDataQuery(value, dataQueries++))
                    return failure;
            }
            type = value.type;
            const auto needed = static_cast<std::uint32_t>(value.bytes.size());
            const bool fits = size >= needed;
            size = needed;
            if (!data) return registry_code::kSuccess;
            if (!fits) return registry_code::kMoreData;
            std::memcpy(data, value.bytes.data(), needed);
            return registry_code::kSuccess;
        }
    };
};

}  // namespace hostdeck::testing
