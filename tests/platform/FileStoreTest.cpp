#include <gtest/gtest.h>

#include <algorithm>

#include "platform/FileStore.h"
#include "serverlist/ServerListFile.h"
#include "support/TempFolder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace hostdeck {
namespace {

class FileStoreTest : public ::testing::Test {
  protected:
    testing::TempFolder folder;
    std::unique_ptr<FileStore> store = makeSystemFileStore();
};

TEST_F(FileStoreTest, MissingFileOrFolderReadsAsNotFound) {
    std::string bytes = "stale";
    EXPECT_EQ(store->readAll(folder.file(L"none.ini"), bytes).status, Result::Status::NotFound);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(
        store
            ->readAll(folder.file(L"no-folder") + folder.file(L"x").substr(folder.path().size()),
                      bytes)
            .status,
        Result::Status::NotFound);
}

TEST_F(FileStoreTest, ReplaceCreatesAndReplacesWholeFiles) {
    const std::wstring path = folder.file(L"serverlist.ini");
    ASSERT_TRUE(store->replaceAll(path, std::string("first\0line", 10)).ok());
    EXPECT_EQ(folder.read(L"serverlist.ini"), std::string("first\0line", 10));
    ASSERT_TRUE(store->replaceAll(path, "x").ok());
    std::string bytes;
    ASSERT_TRUE(store->readAll(path, bytes).ok());
    EXPECT_EQ(bytes, "x");
    ASSERT_TRUE(store->replaceAll(path, "").ok());
    EXPECT_EQ(folder.read(L"serverlist.ini"), "");
    EXPECT_EQ(folder.listing(), L"serverlist.ini;") << "no temporary file is left behind";
}

TEST_F(FileStoreTest, ReadOnlyFileIsLeftAsItWas) {
    folder.write(L"serverlist.ini", "keep#1#2\r\n");
    folder.setReadOnly(L"serverlist.ini", true);
    const Result result = store->replaceAll(folder.file(L"serverlist.ini"), "new");
    folder.setReadOnly(L"serverlist.ini", false);
    EXPECT_EQ(result.status, Result::Status::Failed);
    EXPECT_NE(result.reason.find(folder.file(L"serverlist.ini")), std::wstring::npos)
        << "names the file";
    EXPECT_EQ(folder.read(L"serverlist.ini"), "keep#1#2\r\n");
    EXPECT_EQ(folder.listing(), L"serverlist.ini;");
}

TEST_F(FileStoreTest, ProducerThatGivesUpLeavesTheOldFile) {
    folder.write(L"serverlist.ini", "keep#1#2\r\n");
    const Result result = store->replaceWith(folder.file(L"serverlist.ini"), [](FileSink& sink) {
        sink.write("half a li");
        return false;
    });
    EXPECT_EQ(result.status, Result::Status::Cancelled);
    EXPECT_EQ(folder.read(L"serverlist.ini"), "keep#1#2\r\n");
    EXPECT_EQ(folder.listing(), L"serverlist.ini;");
}

TEST_F(FileStoreTest, MissingFolderFailsWithAReason) {
    const std::wstring path =
        folder.file(L"gone") + folder.file(L"serverlist.ini").substr(folder.path().size());
    const Result result = store->replaceAll(path, "data");
    EXPECT_EQ(result.status, Result::Status::Failed);
    EXPECT_FALSE(result.reason.empty());
}

TEST_F(FileStoreTest, ListFileRoundTripsThroughTheDisk) {
    folder.write(L"serverlist.ini", ";c\r\nHome#10.0.0.5#99\nA#b#c#d");
    ServerListModel model;
    ServerListFile file(*store, folder.file(L"serverlist.ini"));
    ASSERT_TRUE(file.load(model).ok());
    ASSERT_TRUE(file.save(model).ok());
    EXPECT_EQ(folder.read(L"serverlist.ini"), "Home#10.0.0.5#99\r\nA#b#c#d\r\n");
}

TEST_F(FileStoreTest, FindsPathsByTheirStart) {
    folder.write(L"serverlist (not saved 1).ini", "");
    folder.write(L"serverlist (not saved 12).ini", "");
    folder.write(L"serverlist.ini", "");
    auto found = store->pathsStartingWith(folder.file(L"serverlist (not saved "));
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::wstring>{folder.file(L"serverlist (not saved 1).ini"),
                                                folder.file(L"serverlist (not saved 12).ini")}));
}

#ifndef _WIN32
// Wine 8 cannot make Windows links (CreateSymbolicLinkW does nothing there), so links are
// tried on the host, where the store follows the same rules.
TEST_F(FileStoreTest, LinksAreFollowedAndNeverWrittenThrough) {
    const auto narrow = [](const std::wstring& path) {
        std::string bytes;
        encodeText(path, Encoding::Utf8, bytes);
        return bytes;
    };
    ::mkdir(narrow(folder.file(L"real")).c_str(), 0755);
    folder.write(L"real/serverlist.ini", "old#1#2\r\n");
    folder.write(L"victim", "untouched");
    ASSERT_EQ(::symlink("real/serverlist.ini", narrow(folder.file(L"serverlist.ini")).c_str()), 0);
    // A stale temporary file of the target that is a link to another file.
    ASSERT_EQ(::symlink("../victim", narrow(folder.file(L"real/serverlist.ini.saving")).c_str()),
              0);

    ASSERT_TRUE(store->replaceAll(folder.file(L"serverlist.ini"), "new#1#2\r\n").ok());
    struct stat info {};
    ASSERT_EQ(::lstat(narrow(folder.file(L"serverlist.ini")).c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link stays a link";
    EXPECT_EQ(folder.read(L"real/serverlist.ini"), "new#1#2\r\n");
    EXPECT_EQ(folder.read(L"victim"), "untouched");
    EXPECT_EQ(folder.listing().find(L".saving"), std::wstring::npos);

    ::chmod(narrow(folder.file(L"real/serverlist.ini")).c_str(), 0444);
    EXPECT_FALSE(store->replaceAll(folder.file(L"serverlist.ini"), "x").ok())
        << "a read-only target is kept";
    ::chmod(narrow(folder.file(L"real/serverlist.ini")).c_str(), 0644);
    EXPECT_EQ(folder.read(L"real/serverlist.ini"), "new#1#2\r\n");
}
#endif

#ifdef _WIN32
TEST_F(FileStoreTest, LockedFileIsLeftAsItWas) {
    folder.write(L"serverlist.ini", "keep#1#2\r\n");
    HANDLE lock = CreateFileW(folder.file(L"serverlist.ini").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const Result result = store->replaceAll(folder.file(L"serverlist.ini"), "new");
    std::string bytes;
    const Result read = store->readAll(folder.file(L"serverlist.ini"), bytes);
    CloseHandle(lock);
    EXPECT_EQ(result.status, Result::Status::Failed);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(read.status, Result::Status::Failed) << "a locked file cannot be read either";
    EXPECT_EQ(folder.read(L"serverlist.ini"), "keep#1#2\r\n");
    EXPECT_EQ(folder.listing(), L"serverlist.ini;");
}
#endif

}  // namespace
}  // namespace hostdeck
