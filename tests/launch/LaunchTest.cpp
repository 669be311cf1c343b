// Reading the install path and starting the game, against a registry and a process starter
// of the test's own.
#include <gtest/gtest.h>

#include <optional>

#include "launch/ServerLaunch.h"
#include "launch/mdlRegedit.h"
#include "support/FakeRegistry.h"
#include "support/Recorders.h"

namespace hostdeck {
namespace {

using testing::FakeRegistry;
using Value = FakeRegistry::Value;
using Hook = std::function<long(Value&, int)>;

TEST(ReadRegistryValueTest, GivesTextIntegersAndEmptyForTheRest) {
    const std::wstring noNul(L"C:\\NoNul\0\0", 10);
    const auto* raw = reinterpret_cast<const unsigned char*>(noNul.data());
    const Hook grows = [](Value& value, int before) {
        if (before == 0) value = FakeRegistry::text(L"C:\\A much longer install folder");
        return 0L;
    };
    const Hook retypes = [](Value& value, int) {
        value = FakeRegistry::text(L"C:\\G", registry_code::kExpandableText);
        return 0L;
    };
    const Hook denies = [](Value&, int) { return 5L; };  // ERROR_ACCESS_DENIED
    const struct {
        std::optional<Value> in32, in64;
        const wchar_t* read;  // null: empty
        Hook beforeDataQuery = {};
    } cases[] = {
        {FakeRegistry::text(L"D:\\Vantorel \u00E9\u65E5"), {}, L"D:\\Vantorel \u00E9\u65E5"},
        {FakeRegistry::text(L""), {}, L""},
        {Value{registry_code::kText, {}}, {}, L""},
        {Value{registry_code::kText, {raw, raw + 8 * sizeof(wchar_t)}}, {}, L"C:\\NoNul"},
        {Value{registry_code::kText, {raw, raw + 10 * sizeof(wchar_t)}}, {}, L"C:\\NoNul"},
        {FakeRegistry::dword(0xFFFFFFFEu), {}, L"-2"},
        {FakeRegistry::text(L"%ProgramFiles(x86)%\\V %X%", registry_code::kExpandableText),
         {},
         L"C:\\Program Files (x86)\\V %X%"},
        {FakeRegistry::text(L"C:\\G", 3), {}, nullptr},  // REG_BINARY
        {FakeRegistry::text(L"C:\\G", 7), {}, nullptr},  // REG_MULTI_SZ
        {{}, FakeRegistry::text(L"native"), L"native"},
        {FakeRegistry::text(L"32-bit"), FakeRegistry::text(L"native"), L"32-bit"},
        {{}, {}, nullptr},
        {FakeRegistry::text(L"C:\\Old"), {}, L"C:\\A much longer install folder", grows},
        {FakeRegistry::text(L"C:\\G"), {}, nullptr, retypes},
        {FakeRegistry::text(L"C:\\G"), {}, nullptr, denies},
        {FakeRegistry::dword(1), {}, nullptr, denies},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        if (c.in32) registry.values[L"32:K\\V"] = *c.in32;
        if (c.in64) registry.values[L"64:K\\V"] = *c.in64;
        registry.beforeDataQuery = c.beforeDataQuery;
        for (const wchar_t* name : {L"V", L"W"}) {
            const RegistryValue value =
                ReadRegistryValue(registry, RegistryRoot::LocalMachine, L"K", name);
            const bool expected = c.read && name == std::wstring(L"V");
            EXPECT_EQ(std::holds_alternative<std::monostate>(value), !expected);
            EXPECT_EQ(registryValueText(value), expected ? c.read : L"");
        }
        EXPECT_EQ(registry.openKeys, 0);
    }
}

TEST(ServerLaunchTest, StartsTheCurrentEntryOrSaysWhyNot) {
    using enum Result::Status;
    const struct {
        std::optional<Value> installPath;
        ListIndex entry;
        Result::Status status;
        const wchar_t* started;  // executable|command line, or what the reason holds
        const wchar_t* failure = L"";
    } cases[] = {
        {FakeRegistry::text(L"D:\\Games\\Vantorel"), 0, Ok,
         L"D:\\Games\\Vantorel\\exe\\vantorel.exe|D:\\Games\\Vantorel\\exe\\vantorel.exe "
         L"-s10.0.0.5:99"},
        {FakeRegistry::text(L"C:\\G"), 1, Ok,
         L"C:\\G\\exe\\vantorel.exe|C:\\G\\exe\\vantorel.exe -s:"},
        {FakeRegistry::text(L"C:\\G"), 2, Ok,
         L"C:\\G\\exe\\vantorel.exe|C:\\G\\exe\\vantorel.exe -smy host:1 2"},
        {FakeRegistry::dword(42), 0, Ok,
         L"42\\exe\\vantorel.exe|42\\exe\\vantorel.exe -s10.0.0.5:99"},
        {FakeRegistry::text(L"C:\\G"), kNoItem, Cancelled, L""},
        {std::nullopt, 2, NotFound,
         L"registry value \"AppPath\" under\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Microsoft "
         L"Games\\Vantorel\\1.0"},
        {FakeRegistry::text(L""), 2, NotFound, L"install folder was not found"},
        {FakeRegistry::text(L"C:\\Missing"), 0, Failed,
         L"C:\\Missing\\exe\\vantorel.exe\n\nFile not found", L"File not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.started)));
        ServerListModel model;
        model.appendEntry(L"Home", L"10.0.0.5", L"99");
        model.appendEntry(L"Blank", L"", L"");
        model.appendEntry(L"Spaces", L"my host", L"1 2");
        FakeRegistry registry;
        if (c.installPath)
            registry.values[L"32:" + std::wstring(kGameKey) + L"\\AppPath"] = *c.installPath;
        testing::RecordingStarter starter;
        starter.failure = c.failure;
        model.txtServerIP.setText(L"typed over");
        model.lstServerNick.setCurrentIndex(c.entry);
        const Result result = launchServer(model, registry, starter);
        EXPECT_EQ(result.status, c.status);
        if (c.status == Ok) {
            EXPECT_EQ(starter.starts, c.started + std::wstring(L"\n"));
        } else {
            EXPECT_EQ(starter.starts.empty(), c.status != Failed);
            EXPECT_NE(result.reason.find(c.started), std::wstring::npos);
        }
        // Launch leaves the entry in the locked fields, as Select does.
        const bool selected = c.entry != kNoItem;
        EXPECT_EQ(model.txtServerIP.text(),
                  selected ? model.lstServerIP.item(c.entry) : L"typed over");
        EXPECT_EQ(model.txtServerPort.enabled(), !selected);
    }
}

}  // namespace
}  // namespace hostdeck
