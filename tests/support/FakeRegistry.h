#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Registry.h"

namespace hostdeck::testing {

// An in-memory registry with both views, counting opened and closed keys.
class FakeRegistry final : public Registry {
  public:
    struct Value {
        std::uint32_t type = 0;
        std::vector<unsigned char> bytes;
    };
    using Values = std::map<std::wstring, Value>;

    std::map<std::tuple<RegistryRoot, RegistryView, std::wstring>, Values> keys;
    int opened = 0;
    int closed = 0;
    std::vector<RegistryView> openedViews;
    // Runs before each query that passes a data buffer, with how many came before it.
    std::function<long(Value&, int dataQueries)> beforeDataQuery;

    Values& key(RegistryRoot root, const std::wstring& path,
                RegistryView view = RegistryView::Bits32) {
        return keys[{root, view, path}];
    }
    static Value text(const std::wstring& text, bool withNul = true) {
        Value value{1, {}};
        const auto* raw = reinterpret_cast<const unsigned char*>(text.c_str());
        value.bytes.assign(raw, raw + (text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
        return value;
    }
    static Value dword(std::uint32_t number) {
        Value value{4, std::vector<unsigned char>(4)};
        std::memcpy(value.bytes.data(), &number, 4);
        return value;
    }

    // Environment variables for expandEnvironment().
    std::map<std::wstring, std::wstring> environment;

    std::wstring expandEnvironment(const std::wstring& text) override {
        std::wstring out = text;
        for (const auto& [name, value] : environment) {
            const std::wstring reference = L"%" + name + L"%";
            for (std::size_t at; (at = out.find(reference)) != std::wstring::npos;)
                out.replace(at, reference.size(), value);
        }
        return out;
    }

    OpenedKey openKey(RegistryRoot root, const std::wstring& subKey, RegistryView view) override {
        openedViews.push_back(view);
        const auto found = keys.find({root, view, subKey});
        if (found == keys.end()) return {nullptr, Result::notFound()};
        ++opened;
        return {std::make_unique<Key>(*this, found->second), Result::success()};
    }

  private:
    class Key final : public RegistryKey {
      public:
        Key(FakeRegistry& owner, Values& values) : owner_(owner), values_(values) {}
        ~Key() override { ++owner_.closed; }
        long queryValue(const std::wstring& name, std::uint32_t& type, void* data,
                        std::uint32_t& size) override {
            const auto found = values_.find(name);
            if (found == values_.end()) return registry_code::kNotFound;
            Value& value = found->second;
            if (data && owner_.beforeDataQuery) {
                if (long failure = owner_.beforeDataQuery(value, dataQueries_++)) return failure;
            }
            type = value.type;
            const auto needed = static_cast<std::uint32_t>(value.bytes.size());
            if (!data) {
                size = needed;
                return registry_code::kSuccess;
            }
            if (size < needed) {
                size = needed;
                return registry_code::kMoreData;
            }
            std::memcpy(data, value.bytes.data(), needed);
            size = needed;
            return registry_code::kSuccess;
        }

      private:
        FakeRegistry& owner_;
        Values& values_;
        int dataQueries_ = 0;
    };
};

}  // namespace hostdeck::testing
