#include "support/TempFolder.h"

#include <stdexcept>

#include "platform/TextCodec.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#endif

namespace hostdeck::testing {

#ifdef _WIN32

namespace {
void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = folder + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}
}  // namespace

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        path_ = std::wstring(base) + L"hostdeck-test-" + std::to_wstring(GetCurrentProcessId()) +
                L"-" + std::to_wstring(++counter) + L"-\u00E9\u0416";
        if (CreateDirectoryW(path_.c_str(), nullptr)) return;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("no temp folder");
    }
}

TempFolder::~TempFolder() { removeTree(path_); }

std::wstring TempFolder::file(const std::wstring& name) const { return path_ + L"\\" + name; }

void TempFolder::write(const std::wstring& name, const std::string& bytes) const {
    HANDLE h =
        CreateFileW(file(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write test file");
    DWORD put = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(h);
}

std::string TempFolder::read(const std::wstring& name) const {
    HANDLE h = CreateFileW(file(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes(GetFileSize(h, nullptr), '\0');
    DWORD got = 0;
    ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(h);
    return bytes;
}

bool TempFolder::exists(const std::wstring& name) const {
    return GetFileAttributesW(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TempFolder::setReadOnly(const std::wstring& name, bool readOnly) const {
    SetFileAttributesW(file(name).c_str(),
                       readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

std::wstring TempFolder::listing() const {
    std::wstring names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names += name + L";";
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

#else

namespace {
std::string narrow(const std::wstring& text) {
    std::string bytes;
    encodeText(text, Encoding::Utf8, bytes);
    return bytes;
}
}  // namespace

TempFolder::TempFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/hostdeck-test-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("no temp folder");
    path_ = decodeText(pattern, Encoding::Utf8);
}

TempFolder::~TempFolder() { std::system(("rm -rf '" + narrow(path_) + "'").c_str()); }

std::wstring TempFolder::file(const std::wstring& name) const { return path_ + L"/" + name; }

void TempFolder::write(const std::wstring& name, const std::string& bytes) const {
    std::ofstream(narrow(file(name)), std::ios::binary) << bytes;
}

std::string TempFolder::read(const std::wstring& name) const {
    std::ifstream in(narrow(file(name)), std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

bool TempFolder::exists(const std::wstring& name) const {
    struct stat info {};
    return ::stat(narrow(file(name)).c_str(), &info) == 0;
}

void TempFolder::setReadOnly(const std::wstring& name, bool readOnly) const {
    ::chmod(narrow(file(name)).c_str(), readOnly ? 0444 : 0644);
}

std::wstring TempFolder::listing() const {
    std::wstring names;
    if (DIR* dir = ::opendir(narrow(path_).c_str())) {
        while (dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") names += decodeText(name, Encoding::Utf8) + L";";
        }
        ::closedir(dir);
    }
    return names;
}

#endif

}  // namespace hostdeck::testing
