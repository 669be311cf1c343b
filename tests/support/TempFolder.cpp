#include "support/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "platform/TextCodec.h"

namespace hostdeck::testing {

namespace fs = std::filesystem;

// Wide names as Windows keeps them; UTF-8 on the host.
fs::path toPath(const std::wstring& name) {
#ifdef _WIN32
    return fs::path(name);
#else
    std::string bytes;
    encodeText(name, Encoding::Utf8, bytes);
    return fs::path(bytes);
#endif
}

std::wstring fromPath(const fs::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    return decodeText(path.string(), Encoding::Utf8);
#endif
}

TempFolder::TempFolder() {
    fs::path folder;
    do {
        folder =
            fs::temp_directory_path() /
            toPath(L"hostdeck-test-" + std::to_wstring(std::random_device()()) + L"-\u00E9\u0416");
    } while (!fs::create_directory(folder));
    path_ = fromPath(folder);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(toPath(path_), ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(toPath(path_), ignored);
}

fs::path TempFolder::fsPath(const std::wstring& name) const { return toPath(file(name)); }

std::wstring TempFolder::file(const std::wstring& name) const {
    return fromPath(toPath(path_) / toPath(name));
}

void TempFolder::write(const std::wstring& name, const std::string& bytes) const {
    std::ofstream(fsPath(name), std::ios::binary) << bytes;
}

std::string TempFolder::read(const std::wstring& name) const {
    std::ifstream in(fsPath(name), std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

void TempFolder::setReadOnly(const std::wstring& name, bool readOnly) const {
    fs::permissions(fsPath(name),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

}  // namespace hostdeck::testing
