#include "app/DesktopStart.h"

#include <algorithm>

#include "launch/ServerLaunch.h"

namespace hostdeck {

namespace {

constexpr std::wstring_view kBlanks = L" \t";

std::wstring_view trimmed(std::wstring_view text) {
    const std::size_t start = text.find_first_not_of(kBlanks);
    if (start == std::wstring_view::npos) return {};
    return text.substr(start, text.find_last_not_of(kBlanks) - start + 1);
}

}  // namespace

std::wstring argumentFromCommandLine(std::wstring_view commandLine) {
    // The program's name as Windows reads it: in quotes up to the next quote, or up to a blank.
    commandLine = trimmed(commandLine);
    std::size_t end = 0;
    if (commandLine.starts_with(L'"')) {
        end = std::min(commandLine.find(L'"', 1), commandLine.size() - 1) + 1;
    } else {
        end = std::min(commandLine.find_first_of(kBlanks), commandLine.size());
    }
    std::wstring_view argument = trimmed(commandLine.substr(end));
    if (argument.size() >= 2 && argument.front() == L'"' && argument.back() == L'"')
        argument = argument.substr(1, argument.size() - 2);
    return std::wstring(argument);
}

std::wstring shortcutArguments(std::wstring_view address, std::wstring_view port) {
    return L"\"" + std::wstring(kAddressSwitch) + std::wstring(address) + L":" +
           std::wstring(port) + L"\"";
}

std::wstring shortcutFileName(std::wstring_view nickname) {
    std::wstring name(nickname);
    for (wchar_t& c : name) {
        if (c < 32 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos)
            c = L'_';
    }
    // Windows drops blanks and dots at the end of a name.
    while (!name.empty() && (name.back() == L' ' || name.back() == L'.')) name.back() = L'_';
    // It reads "CON", "com1.txt", "LPT\u00B9 .x" and the like as devices, whatever follows a dot
    // and with the blanks before it.
    std::wstring_view stem = std::wstring_view(name).substr(0, name.find(L'.'));
    stem = stem.substr(0, stem.find_last_not_of(L' ') + 1);
    const auto upper = [](wchar_t c) { return c >= L'a' && c <= L'z' ? c - 32 : c; };
    std::wstring device;
    for (const wchar_t c : stem.substr(0, 3)) device += static_cast<wchar_t>(upper(c));
    const bool numbered =
        (device == L"COM" || device == L"LPT") && stem.size() == 4 &&
        std::wstring_view(L"0123456789\u00B9\u00B2\u00B3").find(stem[3]) != std::wstring_view::npos;
    if (numbered || (stem.size() == 3 && (device == L"CON" || device == L"PRN" ||
                                          device == L"AUX" || device == L"NUL")))
        name.insert(0, L"_");
    if (name.empty()) name = L"_";
    return name + L".lnk";
}

}  // namespace hostdeck
