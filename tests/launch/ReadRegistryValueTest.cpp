#include <gtest/gtest.h>

#include "launch/mdlRegedit.h"
#include "support/FakeRegistry.h"

namespace hostdeck {
namespace {

using testing::FakeRegistry;
const std::wstring kKey = L"SOFTWARE\\Vendor\\Game";

class ReadRegistryValueTest : public ::testing::Test {
  protected:
    RegistryValue read(const std::wstring& name = L"Value") {
        return ReadRegistryValue(registry, RegistryRoot::LocalMachine, kKey, name);
    }
    void store(FakeRegistry::Value value) {
        registry.key(RegistryRoot::LocalMachine, kKey)[L"Value"] = value;
    }
    void TearDown() override {
        EXPECT_EQ(registry.opened, registry.closed) << "every opened key is closed";
    }

    FakeRegistry registry;
};

TEST_F(ReadRegistryValueTest, MissingKeyOrValueGivesEmpty) {
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read()));
    store(FakeRegistry::text(L"x"));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read(L"Other")));
    EXPECT_EQ(registryValueText(read(L"Other")), L"");
}

TEST_F(ReadRegistryValueTest, TextValues) {
    store(FakeRegistry::text(L"D:\\Games\\Vantorel \u00E9\u65E5"));
    EXPECT_EQ(std::get<std::wstring>(read()), L"D:\\Games\\Vantorel \u00E9\u65E5");

    store(FakeRegistry::text(L""));  // the NUL alone
    EXPECT_EQ(std::get<std::wstring>(read()), L"");
    store({1, {}});  // size 0
    EXPECT_EQ(std::get<std::wstring>(read()), L"");

    registry.environment[L"ProgramFiles(x86)"] = L"C:\\Program Files (x86)";
    FakeRegistry::Value expandable = FakeRegistry::text(L"%ProgramFiles(x86)%\\Vantorel %X%");
    expandable.type = registry_code::kExpandableText;
    store(expandable);
    EXPECT_EQ(std::get<std::wstring>(read()), L"C:\\Program Files (x86)\\Vantorel %X%");
}

TEST_F(ReadRegistryValueTest, TextStoredWithoutItsNulKeepsEveryCharacter) {
    store(FakeRegistry::text(L"C:\\Game", false));
    EXPECT_EQ(std::get<std::wstring>(read()), L"C:\\Game");
    store(FakeRegistry::text(std::wstring(L"C:\\Game\0\0", 9), false));
    EXPECT_EQ(std::get<std::wstring>(read()), L"C:\\Game");
}

TEST_F(ReadRegistryValueTest, DwordGivesAnInteger) {
    store(FakeRegistry::dword(0xFFFFFFFEu));
    EXPECT_EQ(std::get<std::int32_t>(read()), -2);
    store(FakeRegistry::dword(2300));
    EXPECT_EQ(registryValueText(read()), L"2300");
}

TEST_F(ReadRegistryValueTest, OtherTypesGiveEmpty) {
    for (std::uint32_t type : {3u, 7u, 11u}) {
        FakeRegistry::Value value = FakeRegistry::text(L"C:\\Game");
        value.type = type;
        store(value);
        EXPECT_TRUE(std::holds_alternative<std::monostate>(read())) << "type " << type;
    }
}

TEST_F(ReadRegistryValueTest, FailingSecondQueryGivesEmpty) {
    store(FakeRegistry::text(L"C:\\Game"));
    registry.beforeDataQuery = [](FakeRegistry::Value&, int) {
        return 5L;  // ERROR_ACCESS_DENIED
    };
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read()));
    store(FakeRegistry::dword(1));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read()));
}

TEST_F(ReadRegistryValueTest, ValueThatGrowsBetweenTheQueriesIsReadWhole) {
    store(FakeRegistry::text(L"C:\\Old"));
    registry.beforeDataQuery = [](FakeRegistry::Value& value, int before) {
        if (before == 0) value = FakeRegistry::text(L"C:\\A much longer install folder");
        return 0L;
    };
    EXPECT_EQ(std::get<std::wstring>(read()), L"C:\\A much longer install folder");
}

TEST_F(ReadRegistryValueTest, Prefers32BitViewAndFallsBackTo64Bit) {
    registry.key(RegistryRoot::LocalMachine, kKey, RegistryView::Bits64)[L"Value"] =
        FakeRegistry::text(L"native");
    EXPECT_EQ(std::get<std::wstring>(read()), L"native");
    EXPECT_EQ(registry.openedViews,
              (std::vector<RegistryView>{RegistryView::Bits32, RegistryView::Bits64}));

    store(FakeRegistry::text(L"32-bit"));
    registry.openedViews.clear();
    EXPECT_EQ(std::get<std::wstring>(read()), L"32-bit");
    EXPECT_EQ(registry.openedViews, std::vector<RegistryView>{RegistryView::Bits32});
}

}  // namespace
}  // namespace hostdeck
