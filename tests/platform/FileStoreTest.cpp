// The platform's file store against real files: natively, and under Wine for Windows.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/FileStore.h"
#include "support/TempFolder.h"

#ifdef _WIN32
#include "platform/SystemMessage_win.h"
#include "platform/UniqueHandle_win.h"
#endif

namespace hostdeck {
namespace {

class FileStoreTest : public ::testing::Test {
  protected:
    fakes::TempFolder folder;
    std::unique_ptr<FileStore> store = makeSystemFileStore();
    const std::wstring list = folder.file(L"serverlist.ini");
    const std::wstring inMissingFolder = folder.file(L"gone") + list.substr(list.size() - 15);
};

TEST_F(FileStoreTest, ReadsReplacesAndFindsWholeFiles) {
    std::string bytes = "stale";
    EXPECT_EQ(store->readAll(list, bytes).status, Result::Status::NotFound);
    EXPECT_EQ(store->readAll(inMissingFolder, bytes).status, Result::Status::NotFound);
    for (const std::string& content : {std::string("first\0line", 10), std::string()}) {
        ASSERT_TRUE(store->replaceAll(list, content).ok());
        EXPECT_TRUE(store->readAll(list, bytes).ok() && bytes == content);
    }
    ASSERT_TRUE(store->replaceAll(list, "12345").ok());  // larger than a reader takes: not read
    EXPECT_TRUE(store->readAll(list, bytes, 5).ok() && !store->readAll(list, bytes, 4).ok());
    folder.write(L"serverlist (not saved 12).ini", "");
    folder.write(L"serverlist.ini.saving", "stale");  // a name from another program
    folder.write(L"serverlist.ini.0123456789abcdef.saving", "cut off");  // a save killed midway
#ifdef _WIN32  // a saver in another Windows session holds its own open
    const std::wstring live = L"serverlist.ini.fedcba9876543210.saving";
    folder.write(live, "");
    UniqueKernelHandle held(CreateFileW(folder.file(live).c_str(), GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
#endif
    ASSERT_TRUE(store->replaceAll(list, "again").ok());
    EXPECT_EQ(folder.read(L"serverlist.ini.saving"), "stale");
    std::filesystem::remove(folder.fsPath(L"serverlist.ini.saving"));
#ifdef _WIN32
    held.reset();
    EXPECT_TRUE(std::filesystem::remove(folder.fsPath(live))) << "a live saver's file stays";
#endif
    EXPECT_EQ(store->pathsStartingWith(folder.file(L"serverlist (not")),
              std::vector{folder.file(L"serverlist (not saved 12).ini")});
    EXPECT_EQ(store->pathsStartingWith(folder.file(L"serverlist.ini")), std::vector{list})
        << "no temporary file left";
    EXPECT_TRUE(store->exists(list) && !store->exists(folder.file(L"serverlist")) &&
                !store->exists(inMissingFolder));
#ifdef _WIN32  // as Windows compares names; a system error's code as Windows shows an HRESULT
    EXPECT_TRUE(store->exists(folder.file(L"SERVERLIST.INI")));
    EXPECT_EQ(systemMessage(0x80070002),
              systemMessage(2).substr(0, systemMessage(2).find(L" (")) + L" (error 0x80070002)");
#endif
}

// The old file stays exactly as it was, with nothing left beside it, and the reason is the
// system's own, told by its code: the real cause.
TEST_F(FileStoreTest, FailedOrCancelledReplaceLeavesTheOldFile) {
#ifdef _WIN32
    const unsigned long missing = ERROR_PATH_NOT_FOUND, readOnly = ERROR_ACCESS_DENIED;
#else
    const unsigned long missing = ENOENT, readOnly = EACCES;
#endif
    const std::pair<unsigned long, std::function<Result()>> attempts[] = {
        {0, [&] { return store->replaceWith(list, [](FileSink& s) { return !s.write("half"); }); }},
        {missing, [&] { return store->replaceAll(inMissingFolder, "x"); }},
        {readOnly,
         [&] {
             folder.setReadOnly(L"serverlist.ini", true);
             return store->replaceAll(list, "new");
         }},
#ifdef _WIN32
        {ERROR_SHARING_VIOLATION,
         [&] {  // another program holds the file open without sharing it
             const UniqueKernelHandle lock(
                 CreateFileW(list.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
             std::string bytes;
             EXPECT_EQ(store->readAll(list, bytes).code, ERROR_SHARING_VIOLATION);
             return store->replaceAll(list, "new");
         }},
#endif
    };
    for (const auto& [code, attempt] : attempts) {
        folder.write(L"serverlist.ini", "keep#1#2\r\n");
        const Result result = attempt();
        folder.setReadOnly(L"serverlist.ini", false);
        EXPECT_EQ(result.status, code ? Result::Status::Failed : Result::Status::Cancelled);
        EXPECT_EQ(result.code, code);
        EXPECT_EQ(folder.read(L"serverlist.ini"), "keep#1#2\r\n");
        EXPECT_EQ(store->pathsStartingWith(folder.file(L"")), std::vector{list});
    }
}

// Two savers of one file: one that may not wait is told at once that the other is at work
// (Busy); one asked to wait waits until the first has replaced it, so that it can see what the
// first wrote before it replaces the file in turn. Without waiting, the second would be done
// first, and the file would end up holding what the first wrote. A reader of the file does not
// keep it from being replaced.
TEST_F(FileStoreTest, SaversOfOneFileTakeTurns) {
    std::atomic<bool> firstWriting = false;
    std::thread first([&] {
        const auto slowly = [&](FileSink& sink) {
            firstWriting = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            return sink.write("first");
        };
        EXPECT_TRUE(makeSystemFileStore()->replaceWith(list, slowly).ok());
    });
    while (!firstWriting) std::this_thread::yield();
    EXPECT_EQ(store->replaceAll(list, "busy").status, Result::Status::Busy);
    const auto second = [](FileSink& sink) { return sink.write("second"); };
    EXPECT_TRUE(makeSystemFileStore()->replaceWith(list, second, {}, 60000).ok());
    first.join();
    EXPECT_EQ(folder.read(L"serverlist.ini"), "second");
    EXPECT_TRUE(
        store
            ->readPieces(
                list, [&](std::string_view) { EXPECT_TRUE(store->replaceAll(list, "third").ok()); })
            .ok());
    EXPECT_EQ(folder.read(L"serverlist.ini"), "third");
}

#ifdef _WIN32
// The saved file keeps what the file is, not only what it holds: its attributes and creation
// time. A program that holds it for a moment without sharing it delays the save, no more.
TEST_F(FileStoreTest, AReplacedFileKeepsItsAttributesAndWaitsOutAShortHold) {
    folder.write(L"serverlist.ini", "old");
    const FILETIME created{0x12345678, 0x01C00000};  // in 2001
    {
        const UniqueKernelHandle file(CreateFileW(list.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                                  OPEN_EXISTING, 0, nullptr));
        SetFileTime(file.get(), &created, nullptr, nullptr);
    }
    ASSERT_TRUE(SetFileAttributesW(
        list.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    WIN32_FILE_ATTRIBUTE_DATA before{}, after{};
    ASSERT_TRUE(GetFileAttributesExW(list.c_str(), GetFileExInfoStandard, &before));
    // Wine keeps no creation time of its own: checked where the system keeps the one set.
    const bool keepsCreation = CompareFileTime(&before.ftCreationTime, &created) == 0;
    std::thread holder;
    {
        UniqueKernelHandle held(CreateFileW(list.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        holder = std::thread([held = std::move(held)]() mutable {
            Sleep(300);
            held.reset();
        });
    }
    EXPECT_TRUE(store->replaceAll(list, "new").ok());
    holder.join();
    EXPECT_EQ(folder.read(L"serverlist.ini"), "new");
    ASSERT_TRUE(GetFileAttributesExW(list.c_str(), GetFileExInfoStandard, &after));
    EXPECT_EQ(after.dwFileAttributes, before.dwFileAttributes);
    EXPECT_TRUE(!keepsCreation || CompareFileTime(&after.ftCreationTime, &created) == 0);
    SetFileAttributesW(list.c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif

// Makes (`ln -s TARGET NAME`) or removes (`rm NAME`) a symbolic link in the folder: under
// Wine, whose CreateSymbolicLinkW makes nothing, with the Unix commands themselves, which Wine
// starts as it starts Windows programs (and cannot wait for). Wine shows a link as a file.
void changeLink(const fakes::TempFolder& folder, std::wstring command, const std::wstring& name) {
#ifdef _WIN32
    const bool making = command.starts_with(L"ln");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(making ? L"Z:\\bin\\ln" : L"Z:\\bin\\rm", command.data(), nullptr,
                               nullptr, FALSE, 0, nullptr, folder.path().c_str(), &startup,
                               &started));
    for (int i = 0; i < 1000 && (folder.read(name) == "<missing>") == making; ++i) Sleep(20);
#else
    if (command.starts_with(L"rm")) return;
    std::filesystem::create_symlink(folder.fsPath(command.substr(6, command.find(L' ', 6) - 6)),
                                    folder.fsPath(name));
#endif
}

// The file a link points to is replaced in its own folder, and the link stays.
TEST_F(FileStoreTest, LinksAreFollowedAndKept) {
    std::filesystem::create_directory(folder.fsPath(L"real"));
    folder.write(L"real/serverlist.ini", "old#1#2\r\n");
    changeLink(folder, L"ln -s real/serverlist.ini serverlist.ini", L"serverlist.ini");
    ASSERT_EQ(folder.read(L"serverlist.ini"), "old#1#2\r\n");
    ASSERT_TRUE(store->replaceAll(list, "new#1#2\r\n").ok());
    EXPECT_EQ(folder.read(L"real/serverlist.ini"), "new#1#2\r\n") << "the link's target";
    ASSERT_TRUE(store->replaceAll(list, "newer#1#2\r\n").ok());
    EXPECT_EQ(folder.read(L"real/serverlist.ini"), "newer#1#2\r\n") << "still through the link";
    folder.setReadOnly(L"real/serverlist.ini", true);
    EXPECT_FALSE(store->replaceAll(list, "x").ok()) << "a read-only target is kept";
    EXPECT_EQ(folder.read(L"real/serverlist.ini"), "newer#1#2\r\n");
    changeLink(folder, L"rm serverlist.ini", L"serverlist.ini");  // Wine cannot remove it
}

}  // namespace
}  // namespace hostdeck
