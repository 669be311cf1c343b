#include "app/DesktopStart.h"

#include <algorithm>

namespace hostdeck {

namespace {

constexpr std::wstring_view kBlanks = L" \t";

std::wstring_view trimmed(std::wstring_view text) {
    const std::size_t start = text.find_first_not_of(kBlanks);
    if (start == std::wstring_view::npos) return {};
    return text.substr(start, text.find_last_not_of(kBlanks) - start + 1);
}

}  // namespace

std::wstring nicknameFromCommandLine(std::wstring_view commandLine) {
    // The program's name as Windows reads it: in quotes up to the next quote, or up to a blank.
    commandLine = trimmed(commandLine);
    std::size_t end = 0;
    if (commandLine.starts_with(L'"')) {
        end = std::min(commandLine.find(L'"', 1), commandLine.size() - 1) + 1;
    } else {
        end = std::min(commandLine.find_first_of(kBlanks), commandLine.size());
    }
    std::wstring_view nickname = trimmed(commandLine.substr(end));
    if (nickname.size() >= 2 && nickname.front() == L'"' && nickname.back() == L'"')
        nickname = nickname.substr(1, nickname.size() - 2);
    return std::wstring(nickname);
}

std::wstring shortcutArguments(std::wstring_view nickname) {
    return L"\"" + std::wstring(nickname) + L"\"";
}

std::wstring shortcutFileName(std::wstring_view nickname) {
    std::wstring name(nickname);
    for (wchar_t& c : name) {
        if (c < 32 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos)
            c = L'_';
    }
    // Windows drops blanks and dots at the end of a name; "CON", "NUL" and the like are devices.
    while (!name.empty() && (name.back() == L' ' || name.back() == L'.')) name.back() = L'_';
    const std::wstring_view stem = std::wstring_view(name).substr(0, name.find(L'.'));
    const auto isDevice = [&](std::wstring_view device) {
        return stem.size() == 3 && std::equal(stem.begin(), stem.end(), device.begin(),
                                              [](wchar_t a, wchar_t b) { return (a & ~32) == b; });
    };
    if (isDevice(L"CON") || isDevice(L"PRN") || isDevice(L"AUX") || isDevice(L"NUL"))
        name.insert(0, L"_");
    if (name.empty()) name = L"_";
    return name + L".lnk";
}

}  // namespace hostdeck
