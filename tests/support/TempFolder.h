#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "platform/TextCodec.h"

namespace hostdeck::fakes {

// A fresh folder for one test, removed with everything in it afterwards. Its name holds
// characters outside ASCII, as users' folders do. Names go through UTF-8, which <filesystem>
// converts to and from the platform's own.
class TempFolder {
  public:
    TempFolder() {
        while (!std::filesystem::create_directory(
            path_ = std::filesystem::temp_directory_path() /
                    toPath(L"hostdeck-test-" + std::to_wstring(std::random_device()()) +
                           L"-\u00E9\u0416"))) {
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
            permissions(entry.path(), std::filesystem::perms::owner_all,
                        std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::wstring path() const { return fromPath(path_); }
    // The folder, a separator, and name.
    std::wstring file(const std::wstring& name) const { return fromPath(fsPath(name)); }
    std::filesystem::path fsPath(const std::wstring& name) const { return path_ / toPath(name); }
    void write(const std::wstring& name, const std::string& bytes) const {
        std::ofstream(fsPath(name), std::ios::binary) << bytes;
    }
    // "<missing>" when there is none.
    std::string read(const std::wstring& name) const {
        std::ifstream in(fsPath(name), std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
    }
    void setReadOnly(const std::wstring& name, bool readOnly) const {
        using std::filesystem::perms;
        permissions(
            fsPath(name), perms::owner_write | perms::group_write | perms::others_write,
            readOnly ? std::filesystem::perm_options::remove : std::filesystem::perm_options::add);
    }

  private:
    static std::filesystem::path toPath(const std::wstring& name) {
        std::string bytes;
        encodeText(name, Encoding::Utf8, bytes);
        return std::filesystem::path(std::u8string(bytes.begin(), bytes.end()));
    }
    static std::wstring fromPath(const std::filesystem::path& path) {
        const std::u8string bytes = path.u8string();
        return decodeText(std::string(bytes.begin(), bytes.end()), Encoding::Utf8);
    }

    std::filesystem::path path_;
};

}  // namespace hostdeck::fakes
