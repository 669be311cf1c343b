#include <gtest/gtest.h>

#include "launch/ServerLaunch.h"
#include "support/FakeRegistry.h"

namespace hostdeck {
namespace {

using testing::FakeRegistry;

class RecordingStarter final : public ProcessStarter {
  public:
    std::vector<std::pair<std::wstring, std::wstring>> starts;
    std::wstring failure;
    Result start(const std::wstring& executable, const std::wstring& commandLine) override {
        starts.emplace_back(executable, commandLine);
        if (!failure.empty()) return Result::failed(failure);
        return Result::success();
    }
};

class ServerLaunchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        model.appendEntry(L"Home", L"10.0.0.5", L"99");
        model.appendEntry(L"Blank", L"", L"");
        model.appendEntry(L"Spaces", L"my host", L"1 2");
    }
    void setInstallPath(FakeRegistry::Value value) {
        registry.key(RegistryRoot::LocalMachine, kGameKey)[kGamePathValue] = value;
    }
    Result launch(ListIndex entry) {
        model.lstServerNick.setCurrentIndex(entry);
        return launchServer(model, registry, starter);
    }

    ServerListModel model;
    FakeRegistry registry;
    RecordingStarter starter;
};

TEST(GameCommandTest, JoinsPathSwitchAddressAndPortUnquoted) {
    const GameCommand command = buildGameCommand(L"D:\\Games\\Vantorel", L"10.0.0.5", L"99");
    EXPECT_EQ(command.executable, L"D:\\Games\\Vantorel\\exe\\vantorel.exe");
    EXPECT_EQ(command.commandLine, L"D:\\Games\\Vantorel\\exe\\vantorel.exe -s10.0.0.5:99");
    EXPECT_EQ(buildGameCommand(L"C:\\Program Files\\V", L"a b", L"").commandLine,
              L"C:\\Program Files\\V\\exe\\vantorel.exe -sa b:");
}

TEST_F(ServerLaunchTest, StartsTheGameForTheCurrentEntryAndLocksTheFields) {
    setInstallPath(FakeRegistry::text(L"D:\\Games\\Vantorel"));
    model.txtServerIP.setText(L"typed over");
    const Result result = launch(0);
    EXPECT_EQ(result.status, Result::Status::Ok);
    ASSERT_EQ(starter.starts.size(), 1u);
    EXPECT_EQ(starter.starts[0].first, L"D:\\Games\\Vantorel\\exe\\vantorel.exe");
    EXPECT_EQ(starter.starts[0].second, L"D:\\Games\\Vantorel\\exe\\vantorel.exe -s10.0.0.5:99");
    EXPECT_EQ(model.txtServerNickname.text(), L"Home");
    EXPECT_EQ(model.txtServerIP.text(), L"10.0.0.5");
    EXPECT_FALSE(model.txtServerPort.enabled());
    EXPECT_EQ(model.lstServerPort.currentIndex(), 0);
}

TEST_F(ServerLaunchTest, PassesEmptyAndBlankFieldsUnchanged) {
    setInstallPath(FakeRegistry::text(L"C:\\G"));
    launch(1);
    launch(2);
    launch(2);
    ASSERT_EQ(starter.starts.size(), 3u) << "every launch starts another process";
    EXPECT_EQ(starter.starts[0].second, L"C:\\G\\exe\\vantorel.exe -s:");
    EXPECT_EQ(starter.starts[1].second, L"C:\\G\\exe\\vantorel.exe -smy host:1 2");
}

TEST_F(ServerLaunchTest, IntegerInstallPathBecomesItsDigits) {
    setInstallPath(FakeRegistry::dword(42));
    launch(0);
    ASSERT_EQ(starter.starts.size(), 1u);
    EXPECT_EQ(starter.starts[0].first, L"42\\exe\\vantorel.exe");
}

TEST_F(ServerLaunchTest, NoInstallPathStartsNothingAndSaysWhereItLooked) {
    for (bool present : {false, true}) {
        if (present) setInstallPath(FakeRegistry::text(L""));
        const Result result = launch(2);
        EXPECT_EQ(result.status, Result::Status::NotFound);
        EXPECT_NE(result.reason.find(L"install folder was not found"), std::wstring::npos);
        EXPECT_NE(result.reason.find(
                      L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Microsoft Games\\Vantorel\\1.0"),
                  std::wstring::npos);
        EXPECT_NE(result.reason.find(L"AppPath"), std::wstring::npos);
    }
    EXPECT_TRUE(starter.starts.empty());
    EXPECT_EQ(model.txtServerNickname.text(), L"Spaces");
}

TEST_F(ServerLaunchTest, StartFailureNamesThePathAndTheReason) {
    setInstallPath(FakeRegistry::text(L"C:\\Missing"));
    starter.failure = L"The system cannot find the file specified";
    const Result result = launch(0);
    EXPECT_EQ(result.status, Result::Status::Failed);
    EXPECT_NE(result.reason.find(L"C:\\Missing\\exe\\vantorel.exe"), std::wstring::npos);
    EXPECT_NE(result.reason.find(starter.failure), std::wstring::npos);
    EXPECT_EQ(model.entryCount(), 3);
}

TEST_F(ServerLaunchTest, NoCurrentEntryStartsNothing) {
    setInstallPath(FakeRegistry::text(L"C:\\G"));
    const Result result = launchServer(model, registry, starter);
    EXPECT_EQ(result.status, Result::Status::Cancelled);
    EXPECT_TRUE(starter.starts.empty());
    EXPECT_TRUE(model.txtServerNickname.enabled());
}

}  // namespace
}  // namespace hostdeck
