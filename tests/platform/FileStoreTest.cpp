#include <gtest/gtest.h>

#include "platform/FileStore.h"
#include "serverlist/ServerListFile.h"
#include "support/TempFolder.h"

#ifdef _WIN32
#include <windows.h>
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
    EXPECT_EQ(store->readAll(folder.file(L"none.ini"), bytes).status, FileResult::Status::NotFound);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(
        store
            ->readAll(folder.file(L"no-folder") + folder.file(L"x").substr(folder.path().size()),
                      bytes)
            .status,
        FileResult::Status::NotFound);
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
    const FileResult result = store->replaceAll(folder.file(L"serverlist.ini"), "new");
    folder.setReadOnly(L"serverlist.ini", false);
    EXPECT_EQ(result.status, FileResult::Status::Failed);
    EXPECT_NE(result.reason.find(folder.file(L"serverlist.ini")), std::wstring::npos)
        << "names the file";
    EXPECT_EQ(folder.read(L"serverlist.ini"), "keep#1#2\r\n");
    EXPECT_EQ(folder.listing(), L"serverlist.ini;");
}

TEST_F(FileStoreTest, ProducerThatGivesUpLeavesTheOldFile) {
    folder.write(L"serverlist.ini", "keep#1#2\r\n");
    const FileResult result =
        store->replaceWith(folder.file(L"serverlist.ini"), [](FileSink& sink) {
            sink.write("half a li");
            return false;
        });
    EXPECT_EQ(result.status, FileResult::Status::Cancelled);
    EXPECT_EQ(folder.read(L"serverlist.ini"), "keep#1#2\r\n");
    EXPECT_EQ(folder.listing(), L"serverlist.ini;");
}

TEST_F(FileStoreTest, MissingFolderFailsWithAReason) {
    const std::wstring path =
        folder.file(L"gone") + folder.file(L"serverlist.ini").substr(folder.path().size());
    const FileResult result = store->replaceAll(path, "data");
    EXPECT_EQ(result.status, FileResult::Status::Failed);
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

#ifdef _WIN32
TEST_F(FileStoreTest, LockedFileIsLeftAsItWas) {
    folder.write(L"serverlist.ini", "keep#1#2\r\n");
    HANDLE lock = CreateFileW(folder.file(L"serverlist.ini").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const FileResult result = store->replaceAll(folder.file(L"serverlist.ini"), "new");
    std::string bytes;
    const FileResult read = store->readAll(folder.file(L"serverlist.ini"), bytes);
    CloseHandle(lock);
    EXPECT_EQ(result.status, FileResult::Status::Failed);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(read.status, FileResult::Status::Failed) << "a locked file cannot be read either";
    EXPECT_EQ(folder.read(L"serverlist.ini"), "keep#1#2\r\n");
    EXPECT_EQ(folder.listing(), L"serverlist.ini;");
}
#endif

}  // namespace
}  // namespace hostdeck
