// Reading the install path and starting the game, against a registry and a process starter
// of the test's own.
#include <gtest/gtest.h>

#include "launch/ServerLaunch.h"
#include "launch/mdlRegedit.h"
#include "support/FakeRegistry.h"

namespace hostdeck {
namespace {

using testing::FakeRegistry;
using Value = FakeRegistry::Value;

std::wstring textOf(const RegistryValue& value) {
    if (std::holds_alternative<std::monostate>(value)) return L"<empty>";
    return registryValueText(value);
}

TEST(ReadRegistryValueTest, GivesTextIntegersAndEmptyForTheRest) {
    const std::wstring noNul(L"C:\\NoNul\0\0", 10);
    const auto* raw = reinterpret_cast<const unsigned char*>(noNul.data());
    const struct {
        Value stored;
        const wchar_t* read;
    } cases[] = {
        {FakeRegistry::text(L"D:\\Games\\Vantorel \u00E9\u65E5"),
         L"D:\\Games\\Vantorel \u00E9\u65E5"},
        {FakeRegistry::text(L""), L""},
        {{registry_code::kText, {}}, L""},
        {{registry_code::kText, {raw, raw + 8 * sizeof(wchar_t)}}, L"C:\\NoNul"},
        {{registry_code::kText, {raw, raw + 10 * sizeof(wchar_t)}}, L"C:\\NoNul"},
        {FakeRegistry::dword(0xFFFFFFFEu), L"-2"},
        {FakeRegistry::text(L"%ProgramFiles(x86)%\\V %X%", registry_code::kExpandableText),
         L"C:\\Program Files (x86)\\V %X%"},
        {FakeRegistry::text(L"C:\\G", 3), L"<empty>"},
        {FakeRegistry::text(L"C:\\G", 7), L"<empty>"},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        registry.environment[L"ProgramFiles(x86)"] = L"C:\\Program Files (x86)";
        registry.values[{RegistryView::Bits32, L"K", L"V"}] = c.stored;
        EXPECT_EQ(textOf(ReadRegistryValue(registry, RegistryRoot::LocalMachine, L"K", L"V")),
                  c.read);
        EXPECT_EQ(textOf(ReadRegistryValue(registry, RegistryRoot::LocalMachine, L"K", L"W")),
                  L"<empty>");
        EXPECT_EQ(registry.opened, registry.closed);
    }
}

TEST(ReadRegistryValueTest, RereadsAGrowingValueAndGivesEmptyWhenAQueryFails) {
    FakeRegistry registry;
    registry.values[{RegistryView::Bits32, L"K", L"V"}] = FakeRegistry::text(L"C:\\Old");
    registry.beforeDataQuery = [](Value& value, int before) {
        if (before == 0) value = FakeRegistry::text(L"C:\\A much longer install folder");
        return 0L;
    };
    EXPECT_EQ(textOf(ReadRegistryValue(registry, RegistryRoot::LocalMachine, L"K", L"V")),
              L"C:\\A much longer install folder");
    registry.beforeDataQuery = [](Value& value, int) {  // the type changes in between
        value = FakeRegistry::text(L"C:\\G", registry_code::kExpandableText);
        return 0L;
    };
    EXPECT_EQ(textOf(ReadRegistryValue(registry, RegistryRoot::LocalMachine, L"K", L"V")),
              L"<empty>");
    for (const Value& stored : {FakeRegistry::text(L"C:\\G"), FakeRegistry::dword(1)}) {
        registry.values[{RegistryView::Bits32, L"K", L"V"}] = stored;
        registry.beforeDataQuery = [](Value&, int) { return 5L; };  // ERROR_ACCESS_DENIED
        EXPECT_EQ(textOf(ReadRegistryValue(registry, RegistryRoot::LocalMachine, L"K", L"V")),
                  L"<empty>");
    }
}

TEST(ReadRegistryValueTest, Prefers32BitViewAndFallsBackTo64Bit) {
    FakeRegistry registry;
    registry.values[{RegistryView::Bits64, L"K", L"V"}] = FakeRegistry::text(L"native");
    EXPECT_EQ(textOf(ReadRegistryValue(registry, RegistryRoot::LocalMachine, L"K", L"V")),
              L"native");
    registry.values[{RegistryView::Bits32, L"K", L"V"}] = FakeRegistry::text(L"32-bit");
    EXPECT_EQ(textOf(ReadRegistryValue(registry, RegistryRoot::LocalMachine, L"K", L"V")),
              L"32-bit");
    EXPECT_EQ(registry.openedViews,
              (std::vector<RegistryView>{RegistryView::Bits32, RegistryView::Bits64,
                                         RegistryView::Bits32}));
}

struct RecordingStarter final : ProcessStarter {
    std::vector<std::wstring> starts;
    std::wstring failure;
    Result start(const std::wstring& executable, const std::wstring& commandLine) override {
        starts.push_back(executable + L"|" + commandLine);
        return failure.empty() ? Result::success() : Result::failed(failure);
    }
};

TEST(ServerLaunchTest, StartsTheCurrentEntryOrSaysWhyNot) {
    const struct {
        const wchar_t* what;
        std::optional<Value> installPath;
        ListIndex entry;
        const wchar_t* failure;
        Result::Status status;
        const wchar_t* started;  // executable|command line, or what the reason holds
    } cases[] = {
        {L"example", FakeRegistry::text(L"D:\\Games\\Vantorel"), 0, L"", Result::Status::Ok,
         L"D:\\Games\\Vantorel\\exe\\vantorel.exe|D:\\Games\\Vantorel\\exe\\vantorel.exe "
         L"-s10.0.0.5:99"},
        {L"empty fields", FakeRegistry::text(L"C:\\G"), 1, L"", Result::Status::Ok,
         L"C:\\G\\exe\\vantorel.exe|C:\\G\\exe\\vantorel.exe -s:"},
        {L"blanks", FakeRegistry::text(L"C:\\G"), 2, L"", Result::Status::Ok,
         L"C:\\G\\exe\\vantorel.exe|C:\\G\\exe\\vantorel.exe -smy host:1 2"},
        {L"integer path", FakeRegistry::dword(42), 0, L"", Result::Status::Ok,
         L"42\\exe\\vantorel.exe|42\\exe\\vantorel.exe -s10.0.0.5:99"},
        {L"no current entry", FakeRegistry::text(L"C:\\G"), kNoItem, L"", Result::Status::Cancelled,
         L""},
        {L"no install path", std::nullopt, 2, L"", Result::Status::NotFound,
         L"registry value \"AppPath\" under\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Microsoft "
         L"Games\\Vantorel\\1.0"},
        {L"empty install path", FakeRegistry::text(L""), 2, L"", Result::Status::NotFound,
         L"install folder was not found"},
        {L"start fails", FakeRegistry::text(L"C:\\Missing"), 0, L"File not found",
         Result::Status::Failed, L"C:\\Missing\\exe\\vantorel.exe\n\nFile not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.what)));
        ServerListModel model;
        model.appendEntry(L"Home", L"10.0.0.5", L"99");
        model.appendEntry(L"Blank", L"", L"");
        model.appendEntry(L"Spaces", L"my host", L"1 2");
        FakeRegistry registry;
        if (c.installPath)
            registry.values[{RegistryView::Bits32, kGameKey, kGamePathValue}] = *c.installPath;
        RecordingStarter starter;
        starter.failure = c.failure;
        model.txtServerIP.setText(L"typed over");
        model.lstServerNick.setCurrentIndex(c.entry);
        const Result result = launchServer(model, registry, starter);
        EXPECT_EQ(result.status, c.status);
        if (c.status == Result::Status::Ok) {
            EXPECT_EQ(starter.starts, std::vector<std::wstring>{c.started});
        } else {
            EXPECT_TRUE(starter.starts.empty() || c.status == Result::Status::Failed);
            EXPECT_NE(result.reason.find(c.started), std::wstring::npos);
        }
        // Launch leaves the entry in the locked fields, as Select does.
        const bool selected = c.entry != kNoItem;
        EXPECT_EQ(model.txtServerIP.text(),
                  selected ? model.lstServerIP.item(c.entry) : L"typed over");
        EXPECT_EQ(model.txtServerPort.enabled(), !selected);
        EXPECT_EQ(model.lstServerPort.currentIndex(), c.entry);
    }
}

}  // namespace
}  // namespace hostdeck
