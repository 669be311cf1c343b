#pragma once
// The list file as another program sees it on disk: its bytes, its time, the nicknames it
// holds, and the list files a run starts on.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hostdeck::windowfuzz {

inline bool readBytes(const std::wstring& path, std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    const bool ok = bytes.empty() ||
                    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return ok;
}

inline bool writeBytes(const std::wstring& path, std::string_view bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

// The file's bytes and last write time, or that there is none.
struct DiskFile {
    bool exists = false;
    std::string bytes;
    FILETIME written{};
    bool operator==(const DiskFile& o) const {
        return exists == o.exists && bytes == o.bytes && CompareFileTime(&written, &o.written) == 0;
    }
};

inline DiskFile onDisk(const std::wstring& path) {
    DiskFile file;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return file;
    file.exists = readBytes(path, file.bytes);
    file.written = data.ftLastWriteTime;
    return file;
}

// The file's text as the list file's encodings give it: by its mark, else UTF-8 where valid,
// else the ANSI code page.
inline std::wstring decoded(const std::string& bytes) {
    auto convert = [](UINT page, std::string_view in, DWORD flags) {
        std::wstring out(in.size() + 1, L'\0');
        const int n = MultiByteToWideChar(page, flags, in.data(), static_cast<int>(in.size()),
                                          out.data(), static_cast<int>(out.size()));
        out.resize(static_cast<std::size_t>(n));
        return std::pair{n > 0 || in.empty(), out};
    };
    const std::string_view all(bytes);
    if (all.starts_with("\xFF\xFE") || all.starts_with("\xFE\xFF")) {
        std::wstring text;
        const bool big = all[0] == '\xFE';
        for (std::size_t i = 2; i + 1 < all.size(); i += 2) {
            const auto hi = static_cast<unsigned char>(all[big ? i : i + 1]);
            const auto lo = static_cast<unsigned char>(all[big ? i + 1 : i]);
            text += static_cast<wchar_t>(hi << 8 | lo);
        }
        return text;
    }
    if (all.starts_with("\xEF\xBB\xBF")) return convert(CP_UTF8, all.substr(3), 0).second;
    if (auto [valid, text] = convert(CP_UTF8, all, MB_ERR_INVALID_CHARS); valid) return text;
    return convert(CP_ACP, all, 0).second;
}

// The nicknames of a list file's records, in order: a line up to its first '#'; blank lines
// and ';' comments are none.
inline std::vector<std::wstring> nicknamesIn(const std::string& bytes) {
    std::vector<std::wstring> names;
    const std::wstring text = decoded(bytes);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = text.substr(start, end - start);
        start = end + (text.compare(end, 2, L"\r\n") == 0 ? 2 : 1);
        if (line.empty() || line[0] == L';') continue;
        names.push_back(line.substr(0, line.find(L'#')));
    }
    return names;
}

// The list files a run starts on; the first byte of an input picks one.
inline std::optional<std::string> listFileBytes(std::uint8_t which) {
    switch (which % 8) {
        case 0:
            return std::nullopt;  // none yet
        case 1:
            return std::string(
                "Home#10.0.0.5#27015\r\nClub#club.example#2300\r\n"
                "Lan#192.168.1.20#27016\r\n");
        case 2:
            return std::string(
                "\xEF\xBB\xBF; my servers\r\nCaf\xC3\xA9#cafe.example#27015\r\n"
                "V6#[2001:db8::1]#2300\r\nHome#10.0.0.5#27015\r\nWork#10.1.1.1#1\r\n"
                "Far#far.example#65535\r\n");
        case 3: {
            const std::wstring text =
                L"Alpha#1.2.3.4#1000\r\nBeta#1.2.3.5#1001\r\n"
                L"Gamma#1.2.3.6#1002\r\nDelta#1.2.3.7#1003\r\n";
            std::string bytes = "\xFF\xFE";
            for (wchar_t c : text)
                bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
            return bytes;
        }
        case 4: {  // more than the list shows at once
            std::string bytes;
            for (int i = 1; i <= 24; ++i) {
                char line[64];
                std::snprintf(line, sizeof line, "Server %02d#10.0.%d.%d#%d\r\n", i, i / 8, i,
                              27000 + i);
                bytes += line;
            }
            return bytes;
        }
        case 5:
            return std::string(
                "; comments and odd lines\n\nNoPort#host.example\nPlain line\n"
                "Ok#10.0.0.1#80\rHash#a#b#1\n");
        case 6:
            return std::string();
        default:
            return std::string("Same#1.1.1.1#1\r\nSame#1.1.1.1#1\r\nOther#[::1]#5\r\n");
    }
}

}  // namespace hostdeck::windowfuzz
