#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Starting one server from the desktop: the command line "hostdeck.exe -s<address>:<port>" that
// a desktop shortcut runs, "hostdeck.exe <nickname>" for people who type, and the shortcut.
namespace hostdeck {

// What the program's command line asks for, read for what it means and nothing else.
struct StartRequest {
    enum class Kind {
        Window,  // nothing follows the program: the window opens
        Server,  // "-s<address>:<port>" ("/s", either case): exactly that address and port
        Name,    // one argument: a nickname, or failing that "<address>:<port>"
        TooManyArguments,  // more than one argument: the window opens and says so
    } kind = Kind::Window;
    std::wstring text;  // Server: what follows the switch, as written; Name: the argument
    bool operator==(const StartRequest&) const = default;
};

// Reads what follows the program's own path on `commandLine`, however that path was written
// (quoted, or with blanks and unquoted, as some launchers pass it). One argument, or the whole
// rest in one pair of quotes (as a shortcut writes it); more than one is TooManyArguments.
StartRequest readCommandLine(std::wstring_view commandLine, std::wstring_view programPath);

// Before the address and port on the program's command line: the game's own switch for them.
inline constexpr std::wstring_view kAddressSwitch = L"-s";

// The arguments a shortcut runs the program with to start exactly this server, whatever the
// servers of the list are called by then: the game's own switch with the address and the port.
std::wstring shortcutArguments(std::wstring_view address, std::wstring_view port);

// The longest name of a shortcut file that Windows takes in most desktop folders.
inline constexpr std::size_t kLongestShortcutName = 120;

// The name of the server's shortcut: the nickname, with each character that a file name cannot
// hold replaced by "_", a name that Windows reads as a device made a plain one, and ".lnk". A
// name longer than `longest` is cut, with a few letters from the whole name that keep it apart.
std::wstring shortcutFileName(std::wstring_view nickname,
                              std::size_t longest = kLongestShortcutName);
// The same for a server whose nickname's shortcut starts another server: the nickname with the
// address and port, so that no two servers share the name.
std::wstring shortcutFileName(std::wstring_view nickname, std::wstring_view address,
                              std::wstring_view port, std::size_t longest = kLongestShortcutName);

// Where a server's desktop shortcut goes: named after its nickname; where a shortcut of that name
// starts another server, named with the address and port too. Where the file chosen is there
// already, the user is asked first, told what it starts (`replaces`).
struct ShortcutPlace {
    std::wstring path;
    std::optional<std::wstring> replaces;  // the server the one there starts, or why not known
};
// `existing` tells what is at a path: nothing when no file is there, otherwise the shortcut's
// arguments (empty when it is no shortcut that can be read).
ShortcutPlace placeShortcut(
    const std::wstring& folder, std::wstring_view nickname, std::wstring_view address,
    std::wstring_view port,
    const std::function<std::optional<std::wstring>(const std::wstring&)>& existing);

}  // namespace hostdeck
