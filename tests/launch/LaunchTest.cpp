// Reading the install path, starting the game and opening the how-to, against a registry,
// a process starter and a shell of the test's own.
#include <gtest/gtest.h>

#include <optional>

#include "document/mDocumenteOeffnen.h"
#include "launch/ServerLaunch.h"
#include "launch/mdlRegedit.h"
#include "support/FakeRegistry.h"
#include "support/Recorders.h"

namespace hostdeck {
namespace {

using testing::dword;
using testing::sz;
using Value = testing::FakeRegistry::Value;
using Hook = std::function<long(Value&, int)>;

TEST(ReadRegistryValueTest, GivesTextIntegersAndEmptyForTheRest) {
    const std::wstring noNul(L"C:\\NoNul\0\0", 10);
    const auto* raw = reinterpret_cast<const unsigned char*>(noNul.data());
    const Hook grows = [](Value& value, int before) {
        if (before == 0) value = sz(L"C:\\A much longer install folder");
        return 0L;
    };
    const Hook retypes = [](Value& value, int) { return value = sz(L"C:\\G", 2), 0L; };
    const Hook growsOn = [](Value& value, int before) {
        return value = sz(std::wstring(20 + 5 * static_cast<std::size_t>(before), L'x')), 0L;
    };
    const Hook denies = [](Value&, int) { return 5L; };  // ERROR_ACCESS_DENIED
    const struct {
        std::optional<Value> in32, in64;
        const wchar_t* read;  // null: empty
        Hook beforeDataQuery = {};
    } cases[] = {
        {sz(L"D:\\Vantorel \u00E9\u65E5"), {}, L"D:\\Vantorel \u00E9\u65E5"},
        {sz(L""), {}, L""},
        {Value{registry_code::kText, {}}, {}, L""},
        {Value{registry_code::kText, {raw, raw + 8 * sizeof(wchar_t)}}, {}, L"C:\\NoNul"},
        {Value{registry_code::kText, {raw, raw + 10 * sizeof(wchar_t)}}, {}, L"C:\\NoNul"},
        {dword(0xFFFFFFFEu), {}, L"-2"},
        {sz(L"%ProgramFiles(x86)%\\V", 2), {}, L"<%ProgramFiles(x86)%\\V>"},
        {sz(L"C:\\G", 3), {}, nullptr},  // REG_BINARY
        {sz(L"C:\\G", 7), {}, nullptr},  // REG_MULTI_SZ
        {{}, sz(L"native"), L"native"},
        {sz(L"32-bit"), sz(L"native"), L"32-bit"},
        {{}, {}, nullptr},
        {sz(L"C:\\Old"), {}, L"C:\\A much longer install folder", grows},
        {sz(L"C:\\G"), {}, nullptr, retypes},
        {sz(L"C:\\G"), {}, nullptr, growsOn},                                        // gives up
        {Value{registry_code::kDword, std::vector<unsigned char>(8)}, {}, nullptr},  // too long
        {sz(L"C:\\G"), {}, nullptr, denies},
        {dword(1), {}, nullptr, denies},
    };
    for (const auto& c : cases) {
        testing::FakeRegistry registry;
        if (c.in32) registry.values[L"32:K\\V"] = *c.in32;
        if (c.in64) registry.values[L"64:K\\V"] = *c.in64;
        registry.beforeDataQuery = c.beforeDataQuery;
        for (const std::wstring name : {L"V", L"W"}) {
            const RegistryValue value =
                ReadRegistryValue(registry, registry_code::kLocalMachine, L"K", name);
            const bool expected = c.read && name == L"V";
            EXPECT_EQ(std::holds_alternative<std::monostate>(value), !expected);
            EXPECT_EQ(registryValueText(value), expected ? c.read : L"");
        }
    }
}

TEST(ServerLaunchTest, StartsTheCurrentEntryOrSaysWhyNot) {
    using enum Result::Status;
    const std::wstring exe = L"\\exe\\vantorel.exe";
    const struct {
        std::optional<Value> installPath;
        ListIndex entry;
        Result::Status status;
        std::wstring started;  // executable|command line, or what the reason holds
        const wchar_t* failure = L"";
    } cases[] = {
        {sz(L"D:\\Vantorel"), 0, Ok, L"D:\\Vantorel" + exe + L"|D:\\Vantorel" + exe + L" -s1.2:99"},
        {sz(L"C:\\G"), 1, Ok, L"C:\\G" + exe + L"|C:\\G" + exe + L" -s:"},
        {sz(L"C:\\G"), 2, Ok, L"C:\\G" + exe + L"|C:\\G" + exe + L" -smy host:1 2"},
        {dword(42), 0, Ok, L"42" + exe + L"|42" + exe + L" -s1.2:99"},
        {sz(L"C:\\G"), kNoItem, Cancelled, L""},
        {std::nullopt, 2, NotFound,
         L"\"AppPath\" under\nHKEY_LOCAL_MACHINE\\" + std::wstring(kGameKey)},
        {sz(L""), 2, NotFound, L"install folder was not found"},
        {sz(L"C:\\M"), 0, Failed, L"C:\\M" + exe + L"\n\nFile not found", L"File not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.started));
        ServerListModel model;
        model.appendEntry(L"Home", L"1.2", L"99");
        model.appendEntry(L"Blank", L"", L"");
        model.appendEntry(L"Spaces", L"my host", L"1 2");
        testing::FakeRegistry registry;
        if (c.installPath)
            registry.values[L"32:" + std::wstring(kGameKey) + L"\\AppPath"] = *c.installPath;
        testing::RecordingStarter starter;
        starter.failure = c.failure;
        model.txtServerIP.setText(L"typed over");
        model.lstServerNick.setCurrentIndex(c.entry);
        const Result result = launchServer(model, registry, starter);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(starter.starts, c.status == Ok ? c.started + L"\n" : L"") << starter.starts;
        EXPECT_TRUE(c.status == Ok || result.reason.find(c.started) != std::wstring::npos);
        // Launch leaves the entry in the locked fields, as Select does.
        const bool selected = c.entry != kNoItem;
        EXPECT_EQ(model.txtServerIP.text(),
                  selected ? model.lstServerIP.item(c.entry) : L"typed over");
        EXPECT_EQ(model.txtServerPort.enabled(), !selected);
    }
}

// Only "no application for this type" brings up Open With; any other outcome ends there.
TEST(OpenDocumentTest, OpensWithTheAssociatedApplicationOrOpenWith) {
    const std::wstring open = L"65552|open|C:\\H\\howto.txt|||1\nmessages\n",
                       openWith =
                           L"65552||RUNDLL32.EXE|shell32.dll,OpenAs_RunDLL C:\\H\\howto.txt|"
                           L"C:\\windows\\system32|1\n";
    for (const std::intptr_t result : {42, 2, 5, 0, 31}) {
        testing::RecordingShell shell;
        shell.firstResult = result;
        OpenDocument(shell, L"C:\\H\\howto.txt");
        EXPECT_EQ(shell.calls, result == kNoAssociation ? open + openWith : open);
    }
}

}  // namespace
}  // namespace hostdeck
