// libFuzzer target: any bytes as the list file, through the real load and save.
// Checks, besides crashes and undefined behaviour:
//   - a save loads back as the same entries;
//   - a file already in the form the program writes is saved back byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "serverlist/ListFileFormat.h"
#include "serverlist/ServerListFile.h"
#include "support/MemoryFileStore.h"

namespace {

using namespace hostdeck;
const std::wstring kPath = L"C:\\Hostdeck\\serverlist.ini";

bool sameEntries(const ServerListModel& a, const ServerListModel& b) {
    if (a.entryCount() != b.entryCount()) return false;
    for (ListIndex i = 0; i < a.entryCount(); ++i) {
        if (a.lstServerNick.item(i) != b.lstServerNick.item(i) ||
            a.lstServerIP.item(i) != b.lstServerIP.item(i) ||
            a.lstServerPort.item(i) != b.lstServerPort.item(i)) {
            return false;
        }
    }
    return true;
}

// The form the program writes: record lines only, each with two '#' or more and ending in
// CR LF, after the UTF-8 mark when there is one and the list is not empty.
bool isCanonical(std::string_view bytes) {
    const std::string_view mark = list_file_format::kUtf8Mark;
    if (bytes.substr(0, mark.size()) == mark) {
        bytes.remove_prefix(mark.size());
        if (bytes.empty()) return false;
    }
    while (!bytes.empty()) {
        const std::size_t end = bytes.find_first_of("\r\n");
        if (end == std::string_view::npos || bytes.substr(end, 2) != "\r\n") return false;
        const std::string_view line = bytes.substr(0, end);
        if (line.empty() || line.front() == ';') return false;
        const std::size_t first = line.find('#');
        if (first == std::string_view::npos || line.rfind('#') == first) return false;
        bytes.remove_prefix(end + 2);
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    hostdeck::testing::MemoryFileStore files;
    files.files[kPath] = bytes;

    ServerListModel loaded;
    ServerListFile file(files, kPath);
    if (!file.load(loaded).ok()) std::abort();
    if (!file.save(loaded).ok()) std::abort();
    const std::string saved = files.files[kPath];

    ServerListModel reloaded;
    if (!ServerListFile(files, kPath).load(reloaded).ok()) std::abort();
    if (!sameEntries(loaded, reloaded)) std::abort();
    if (isCanonical(bytes) && saved != bytes) std::abort();
    return 0;
}
