// The registry reader against the real registry of the test prefix, in both views.
#include <gtest/gtest.h>

#include "launch/mdlRegedit.h"
#include "support/TestSupport_win.h"

namespace hostdeck {
namespace {

using testing::ScratchRegistryKey;

class RegistryWinTest : public ::testing::Test {
  protected:
    RegistryValue read(const std::wstring& name) {
        return ReadRegistryValue(*registry, RegistryRoot::LocalMachine, path, name);
    }
    const std::wstring path = L"SOFTWARE\\HostdeckTest\\" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" +
                              std::to_wstring(reinterpret_cast<std::uintptr_t>(
                                  ::testing::UnitTest::GetInstance()->current_test_info()));
    std::unique_ptr<Registry> registry = makeSystemRegistry();
};

TEST_F(RegistryWinTest, ReadsTextDwordAndNothingElse) {
    ScratchRegistryKey key(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY);
    key.setText(L"AppPath", L"C:\\Games\\Vantorel \u00E9\u0416\u65E5");
    key.setText(L"Empty", L"");
    key.setDword(L"Port", 2300);
    const std::wstring expand = L"%WINDIR%\\Game %NoSuchVariable%";
    key.setRaw(L"Expand", REG_EXPAND_SZ, expand.c_str(),
               static_cast<DWORD>((expand.size() + 1) * sizeof(wchar_t)));
    key.setRaw(L"Binary", REG_BINARY, "abc", 3);
    const std::wstring noNul = L"C:\\NoNul";
    key.setRaw(L"NoNul", REG_SZ, noNul.data(), static_cast<DWORD>(noNul.size() * sizeof(wchar_t)));

    EXPECT_EQ(std::get<std::wstring>(read(L"AppPath")), L"C:\\Games\\Vantorel \u00E9\u0416\u65E5");
    EXPECT_EQ(std::get<std::wstring>(read(L"Empty")), L"");
    EXPECT_EQ(std::get<std::int32_t>(read(L"Port")), 2300);
    EXPECT_EQ(std::get<std::wstring>(read(L"NoNul")), L"C:\\NoNul");
    wchar_t windows[MAX_PATH] = {};
    GetEnvironmentVariableW(L"WINDIR", windows, MAX_PATH);
    EXPECT_EQ(std::get<std::wstring>(read(L"Expand")),
              std::wstring(windows) + L"\\Game %NoSuchVariable%");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read(L"Binary")));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read(L"Missing")));
}

TEST_F(RegistryWinTest, MissingKeyGivesEmpty) {
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read(L"AppPath")));
}

TEST_F(RegistryWinTest, Reads32BitViewFirstThenTheNativeOne) {
    {
        ScratchRegistryKey native(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY);
        native.setText(L"AppPath", L"C:\\From64");
        EXPECT_EQ(registryValueText(read(L"AppPath")), L"C:\\From64");
        ScratchRegistryKey wow(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY);
        wow.setText(L"AppPath", L"C:\\From32");
        EXPECT_EQ(registryValueText(read(L"AppPath")), L"C:\\From32");
    }
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read(L"AppPath")));
}

}  // namespace
}  // namespace hostdeck
