#include "support/TempFolder.h"

#include <fstream>
#include <iterator>
#include <random>

#include "platform/TextCodec.h"

namespace hostdeck::testing {

namespace fs = std::filesystem;

namespace {

// Through UTF-8, which <filesystem> converts to and from the platform's own names.
fs::path toPath(const std::wstring& name) {
    std::string bytes;
    encodeText(name, Encoding::Utf8, bytes);
    return fs::path(std::u8string(bytes.begin(), bytes.end()));
}

std::wstring fromPath(const fs::path& path) {
    const std::u8string bytes = path.u8string();
    return decodeText(std::string(bytes.begin(), bytes.end()), Encoding::Utf8);
}

}  // namespace

TempFolder::TempFolder() {
    do {
        path_ =
            fs::temp_directory_path() /
            toPath(L"hostdeck-test-" + std::to_wstring(std::random_device()()) + L"-\u00E9\u0416");
    } while (!fs::create_directory(path_));
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

fs::path TempFolder::fsPath(const std::wstring& name) const { return path_ / toPath(name); }

std::wstring TempFolder::path() const { return fromPath(path_); }
std::wstring TempFolder::file(const std::wstring& name) const { return fromPath(fsPath(name)); }

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
