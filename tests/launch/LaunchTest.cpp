// Reading the install path, starting the game and opening the how-to, against a registry,
// a process starter and a shell of the test's own.
#include <gtest/gtest.h>

#include <optional>

#include "document/mDocumenteOeffnen.h"
#include "launch/ServerLaunch.h"
#include "support/FakeRegistry.h"
#include "support/MemoryFileStore.h"
#include "support/ModelEntries.h"
#include "support/Recorders.h"

namespace hostdeck {
namespace {

using fakes::dword;
using fakes::sz;
using Value = fakes::FakeRegistry::Value;
using Hook = std::function<long(Value&, int)>;
const std::wstring kListPath = L"C:\\H\\serverlist.ini";

// What a double-click starts, from the install path as the registry holds it in either view
// (executable|command line), or what the message says when nothing starts.
TEST(ServerLaunchTest, StartsTheGameFromTheRegistryOrSaysWhyNot) {
    const std::wstring exe = L"\\exe\\vantorel.exe",
                       notFound =
                           L"\"AppPath\" under\nHKEY_LOCAL_MACHINE\\" + std::wstring(kGameKey);
    const auto game = [&](const std::wstring& folder, const std::wstring& target = L"1.2:99") {
        return folder + exe + L"|" + folder + exe + L" -s" + target;
    };
    const std::wstring noNul(L"C:\\NoNul\0\0", 10);
    const auto* raw = reinterpret_cast<const unsigned char*>(noNul.data());
    const Hook grows = [](Value& value, int before) {
        return value = before ? value : sz(L"C:\\A much longer install folder"), 0L;
    };
    const Hook retypes = [](Value& value, int) { return value = sz(L"C:\\G", 2), 0L; };
    const Hook growsOn = [](Value& value, int before) {
        return value = sz(std::wstring(20 + 5 * static_cast<std::size_t>(before), L'x')), 0L;
    };
    const Hook denies = [](Value&, int) { return 5L; };  // ERROR_ACCESS_DENIED
    const struct {
        std::optional<Value> in32 = sz(L"C:\\G"), in64 = {};  // the registry's two views
        std::wstring started = L"";  // "executable|command line"; empty: nothing starts
        std::wstring said = {};      // part of what the user is told when nothing starts
        Hook beforeDataQuery = {};
        ListIndex entry = 0;                // the entry double-clicked
        const wchar_t* failure = L"";       // why the game does not start
        const wchar_t* name = L"AppPath";   // the registry value's
        const wchar_t* argument = nullptr;  // started from the command line instead
    } cases[] = {
        // clang-format off
        {.in32 = sz(L"D:\\Vantorel \u00E9\u65E5"), .started = game(L"D:\\Vantorel \u00E9\u65E5")},
        {.in32 = sz(L""), .said = notFound},
        {.in32 = Value{registry_code::kText, {}}, .said = notFound},
        {.in32 = Value{registry_code::kText, {raw, raw + 8 * sizeof(wchar_t)}}, .started = game(L"C:\\NoNul")},
        {.in32 = Value{registry_code::kText, {raw, raw + 10 * sizeof(wchar_t)}}, .started = game(L"C:\\NoNul")},
        {.in32 = dword(0xFFFFFFFEu), .started = game(L"-2")},
        {.in32 = sz(L"%ProgramFiles(x86)%\\V", 2), .started = game(L"<%ProgramFiles(x86)%\\V>")},
        {.in32 = sz(L"C:\\G", 3), .said = notFound},  // REG_BINARY
        {.in32 = sz(L"C:\\G", 7), .said = notFound},  // REG_MULTI_SZ
        {.in32 = {}, .in64 = sz(L"native"), .started = game(L"native")},
        {.in32 = sz(L"32-bit"), .in64 = sz(L"native"), .started = game(L"32-bit")},
        {.in32 = {}, .said = notFound},
        {.said = notFound, .name = L"Other"},
        {.in32 = sz(L"C:\\Old"), .started = game(L"C:\\A much longer install folder"), .beforeDataQuery = grows},
        {.said = notFound, .beforeDataQuery = retypes},
        {.said = notFound, .beforeDataQuery = growsOn},                                        // gives up
        {.in32 = Value{registry_code::kDword, std::vector<unsigned char>(8)}, .said = notFound},  // too long
        {.said = notFound, .beforeDataQuery = denies},
        {.in32 = dword(1), .said = notFound, .beforeDataQuery = denies},
        {.started = game(L"C:\\G", L":"), .entry = 1},
        {.started = game(L"C:\\G", L"my host:1 2"), .entry = 2},
        {.entry = kNoItem},
        {.in32 = sz(L"C:\\M"), .said = L"C:\\M" + exe + L"\n\nFile not found", .failure = L"File not found"},
        // Started from the command line: by nickname, from the list file ("?": unreadable); by
        // the address and port a shortcut carries, or that no nickname names.
        {.said = L"2 servers in the list have that nickname:\nSpaces: my host:1 2\nspaces: [::1]:3\n", .argument = L"sPACES"},
        {.started = game(L"C:\\G", L"my host:1 2"), .argument = L"\"-smy host:1 2\""},
        {.started = game(L"C:\\G", L"1.2.3.4:27015"), .argument = L"-S1.2.3.4:27015"},
        {.started = game(L"C:\\G", L"1.2.3.4:27015"), .argument = L"/s1.2.3.4:27015"},
        {.started = game(L"C:\\G", L"5.6.7.8:9"), .argument = L"-sneaky"},
        {.started = game(L"C:\\G", L"::1:3"), .argument = L"[::1]:3"},
        {.said = L"goes in quotes", .argument = L"-s1.2.3.4:27015 extra -x"},
        {.said = L"an address and port (", .argument = L"-s"},
        {.said = L"an address and port (", .argument = L"\"-s \""},
        {.said = L"an address and port (", .argument = L"-s1.2.3.4"},
        {.said = L"an address and port (", .argument = L"host:0"},
        {.said = L"an address and port (", .argument = L"\"my host:1\""},
        {.said = L"6 servers in the list have that nickname:\nMany: m:1\nMany: m:2\nMany: m:3\nMany: m:4\nMany: m:5\n... and 1 more\n\n", .argument = L"many"},
        {.said = L"5 servers in the list have that nickname:\nFive: f:7\nFive: f:8\nFive: f:9\nFive: f:10\nFive: f:11\n\n", .argument = L"five"},
        {.started = game(L"C:\\G", L"10.0.0.5:99"), .argument = L" 10.0.0.5:99"},
        {.said = L"no server in the list has that nickname", .argument = L"Nobody"},
        {.said = L"\"?\", but the server list could not be read.\n\nLocked", .argument = L"?"},
        {.started = game(L"C:\\G"), .argument = L"hOME"},
        {.in32 = sz(L"C:\\M"), .said = L"File not found", .failure = L"File not found", .argument = L"home"},
        // clang-format on
    };
    for (const auto& c : cases) {
        const std::wstring argument = c.argument ? c.argument : L"";
        SCOPED_TRACE(::testing::PrintToString(c.started + c.said + argument));
        ServerListModel model;
        for (const wchar_t* entry : {L"Home|1.2|99", L"Blank||", L"Spaces|my host|1 2"})
            fakes::appendEntry(model, entry);
        fakes::FakeRegistry registry;
        const std::wstring value = std::wstring(kGameKey) + L"\\" + c.name;
        if (c.in32) registry.values[L"32:" + value] = *c.in32;
        if (c.in64) registry.values[L"64:" + value] = *c.in64;
        registry.beforeDataQuery = c.beforeDataQuery;
        fakes::RecordingStarter starter;
        starter.failure = c.failure;
        model.txtServerIP.setText(L"typed over");
        model.lstServerNick.setCurrentIndex(c.entry);
        fakes::MemoryFileStore files;
        files.files[kListPath] =
            "Home#1.2#99\r\nBlank##\r\nSpaces#my host#1 2\r\nspaces#::1#3\r\n-sneaky#5.6.7.8#9\r\n";
        for (int i = 1; i <= 11; ++i)  // six of one nickname, five of another
            files.files[kListPath] += (i <= 6 ? "Many#m#" : "Five#f#") + std::to_string(i) + "\r\n";
        if (c.argument && c.argument == std::wstring_view(L"?")) files.readFailure = L"Locked";
        const StartRequest request = readCommandLine(L"hd.exe " + argument, L"hd.exe");
        const Result result =
            c.argument ? launchFromCommandLine(files, kListPath, request, registry, starter)
                       : launchServer(model, registry, starter);
        const bool starts = !c.started.empty();
        EXPECT_EQ(result.ok(), starts);
        EXPECT_EQ(starter.starts, starts ? c.started + L"\n" : L"") << result.reason;
        EXPECT_NE(result.reason.find(c.said), std::wstring::npos) << result.reason;
        // Launch leaves the entry in the locked fields, as Select does.
        const bool selected = c.entry != kNoItem && !c.argument;
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
        fakes::RecordingShell shell;
        shell.firstResult = result;
        OpenDocument(shell, L"C:\\H\\howto.txt");
        EXPECT_EQ(shell.calls, result == kNoAssociation ? open + openWith : open);
    }
}

}  // namespace
}  // namespace hostdeck
