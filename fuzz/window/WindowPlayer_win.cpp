// Plays one input against the real program: real mouse and keys, the clipboard, files dropped
// into its own process, another program at the list file, the end of Windows. Every check is
// made from what the user sees (windows, their texts and states) and the files on disk.
#include "WindowPlayer_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "DriverText_win.h"
#include "ListFileOnDisk_win.h"
#include "UserInput_win.h"
#include "WindowView_win.h"
#include "form/FormLayout.h"
#include "launch/ServerLaunch.h"

namespace hostdeck::windowfuzz {

// One program's life and the user's view of it, across the steps of one input.
struct Player::Run {
    Player& player;
    const Input& input;
    Outcome outcome;
    std::wstring folder, listPath, launchesPath;
    HANDLE process = nullptr;
    DWORD processId = 0;
    View view;  // as last seen
    // What the user saw at the start, and how an entry taken out for editing looked then: a
    // list that is the same at the end (with that entry as taken) did not change.
    std::vector<std::wstring> rowsAtStart;
    bool entryOut = false;       // Edit took an entry out of the list, and it has not gone back
    std::wstring outTaken[3];    // the fields as Edit took the entry out
    bool entryChanged = false;   // an entry went back into the list other than it was taken
    int outAt = -1;              // where it goes back; -1: not known
    bool entryMaybeOut = false;  // Edit or Delete: what the user saw cannot tell
    bool answeredAtClose = false, closing = false;
    std::optional<DiskFile> leftOnDisk;  // the list file as another program last left it
    HANDLE lock = INVALID_HANDLE_VALUE;  // another program holding the list file open
    std::set<std::wstring> copiesBefore;
    std::size_t launchesSeen = 0;
    std::optional<std::wstring> startTarget;  // the nickname a start action was on
    // Enter (or a menu's S) given while a box or the menu was in front, or queued behind one:
    // it may reach the list once they have gone, and start the row selected then.
    bool maybeStart = false;
    std::optional<std::wstring> menuTarget;                // the row the list's menu was opened on
    int clickedRow = -1;                                   // the row the last click was on
    std::optional<std::pair<POINT, ULONGLONG>> lastClick;  // where and when
    int stepsLeft = 0;

    Run(Player& p, const Input& in) : player(p), input(in) {}

    void trace(const std::string& line) {
        if (player.setup_.trace) std::printf("  %s\n", line.c_str());
        std::fflush(stdout);
    }
    bool fail(std::string kind, std::string detail) {
        if (!outcome.failure) outcome.failure = Failure{std::move(kind), std::move(detail)};
        return false;
    }
    bool alive() const { return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

    // ---- Starting and what the disk holds

    std::set<std::wstring> copies() {
        std::set<std::wstring> found;
        wchar_t local[MAX_PATH] = {};
        SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local);
        for (const std::wstring& dir : {folder, std::wstring(local) + L"\\Hostdeck"}) {
            WIN32_FIND_DATAW data;
            HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
            if (find == INVALID_HANDLE_VALUE) continue;
            do {
                const std::wstring name = data.cFileName;
                if (name != L"." && name != L".." && _wcsicmp(name.c_str(), L"serverlist.ini") &&
                    _wcsicmp(name.c_str(), L"hostdeck.exe") &&
                    !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    found.insert(dir + L"\\" + name);
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        return found;
    }

    bool start() {
        const double began = nowMs();
        copiesBefore = copies();
        leftOnDisk = onDisk(listPath);
        entryOut = entryChanged = entryMaybeOut = answeredAtClose = closing = false;
        lastClick.reset();
        std::wstring commandLine = L"\"" + folder + L"\\hostdeck.exe\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (!CreateProcessW((folder + L"\\hostdeck.exe").c_str(), commandLine.data(), nullptr,
                            nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &started))
            return fail("setup",
                        "the program did not start: error " + std::to_string(GetLastError()));
        CloseHandle(started.hThread);
        process = started.hProcess;
        processId = started.dwProcessId;
        // Shown once it has read the list.
        const ULONGLONG deadline = GetTickCount64() + scaled(30000);
        for (;;) {
            view.main = FindWindowW(kWindowClass, nullptr);
            DWORD owner = 0;
            if (view.main) GetWindowThreadProcessId(view.main, &owner);
            if (view.main && owner == processId && IsWindowVisible(view.main)) break;
            if (!alive()) return fail("crash", "the program ended before it showed its window");
            if (GetTickCount64() > deadline) return fail("hang", "the window did not show in 30 s");
            Sleep(10);
        }
        WaitForInputIdle(process, scaled(10000));
        trace("started on " +
              (leftOnDisk->exists ? listed(nicknamesIn(leftOnDisk->bytes)) : "no list file"));
        const double settling = player.timings_.settle;
        if (!settle()) return false;
        player.timings_.settle = settling;  // the start's own
        player.timings_.start += nowMs() - began;
        rowsAtStart = view.rows;
        return true;
    }

    // ---- Seeing

    View look() { return lookAt(view.main, processId); }

    // Until the window has taken what it was given: it answers, and what it shows stays the
    // same between two looks. A window that does not answer within 2 s is a failure.
    bool settle(double stableMs = 15) {
        const double began = nowMs();
        View last;
        int same = 0;
        double stableSince = began;
        unansweredMessages = 0;
        // Three equal looks, over some time: a dialog may take typed keys slowly.
        for (int round = 0; round < 400 && (same < 2 || nowMs() - stableSince < stableMs);
             ++round) {
            if (!alive()) break;
            const double asked = nowMs();
            DWORD_PTR result = 0;
            const bool answered =
                !IsWindow(view.main) || SendMessageTimeoutW(view.main, WM_NULL, 0, 0, SMTO_NORMAL,
                                                            scaled(kAnswerMs), &result);
            WaitForInputIdle(process, scaled(kAnswerMs));
            const View now = look();
            // Any message the window left unanswered for 2 s, while it was looked at too.
            if ((!answered || unansweredMessages > 0) && alive() && IsWindow(view.main))
                return fail("hang", "the window did not answer a message within 2 s (" +
                                        std::to_string(static_cast<int>(nowMs() - asked)) +
                                        " ms for this look)");
            if (!(now == last)) stableSince = nowMs();
            same = now == last ? same + 1 : 0;
            last = now;
            Sleep(round < 5 ? 5 : 15);
        }
        view = last;
        player.timings_.settle += nowMs() - began;
        return true;
    }

    // ---- Checks after each step

    bool checkBoxes() {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        for (HWND box : view.boxes) {
            RECT r{};
            GetWindowRect(box, &r);
            const std::wstring text = windowText(GetDlgItem(box, 0xFFFF));
            outcome.seen.insert("box " + utf8(text.substr(0, 24)));
            if (r.left < work.left || r.top < work.top || r.right > work.right ||
                r.bottom > work.bottom)
                return fail(
                    "box-outside",
                    "a box reaches outside the screen's work area: " + std::to_string(r.left) +
                        "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
                        std::to_string(r.bottom) + ": " + shown(text));
            if (!isFileDialog(box) && text.find_first_not_of(L" \r\n\t") == std::wstring::npos)
                return fail("box-no-text", "a box says nothing");
            bool wayOut = false;  // a button that Tab, Enter or Escape reaches
            for (HWND child = GetWindow(box, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT))
                if (className(child) == L"Button" && IsWindowVisible(child) &&
                    IsWindowEnabled(child))
                    wayOut = true;
            if (!wayOut)
                return fail("box-no-way-out", "a box has no button to leave it: " + shown(text));
        }
        return true;
    }

    // What the stand-in game recorded since the last look, once every start has finished.
    std::vector<std::wstring> newLaunches() {
        const ULONGLONG deadline = GetTickCount64() + scaled(10000);
        while (countRunning(L"vantorel.exe") > 0 && GetTickCount64() < deadline) Sleep(10);
        std::string bytes;
        readBytes(launchesPath, bytes);
        std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
        std::vector<std::wstring> lines;
        for (std::size_t at = launchesSeen; at < text.size();) {
            const std::size_t end = text.find(L'\n', at);
            if (end == std::wstring::npos) break;
            lines.push_back(text.substr(at, end - at));
            at = end + 1;
            launchesSeen = at;
        }
        return lines;
    }

    bool checkStarts(bool startAction) {
        const std::vector<std::wstring> launches = newLaunches();
        if (launches.empty()) return true;
        if (!startTarget && maybeStart && selectedRow()) startTarget = selectedRow();
        if (!startTarget)
            return fail("start-unasked", "the game started with no start action, with " +
                                             shown(gameArguments(launches[0])));
        if (launches.size() > 1)
            return fail("start-twice", std::to_string(launches.size()) + " starts for one action");
        // Launch shows the entry in the fields: the one the action was on, started as shown.
        const std::wstring expected = L" -s" + view.fields[1] + L":" + view.fields[2];
        // A double-click's first click may put the entry out for editing back above the row:
        // then the second click is on the row that has come under the pointer.
        const bool onTarget =
            view.fields[0] == *startTarget ||
            (startAction && clickedRow >= 0 && clickedRow < static_cast<int>(view.rows.size()) &&
             view.fields[0] == view.rows[static_cast<std::size_t>(clickedRow)]);
        if (!onTarget || !launches[0].ends_with(expected))
            return fail("start-wrong",
                        "a start on " + shown(*startTarget) + " started the game with " +
                            shown(gameArguments(launches[0])) + " while the fields show " +
                            shown(view.fields[0]) + " " + shown(expected));
        outcome.seen.insert(startAction ? "started" : "started after a question");
        trace("    the game started with " + shown(gameArguments(launches[0])));
        startTarget.reset();
        return true;
    }

    bool checkFields() {
        if (!view.main) return true;
        if (view.enabled[0] != view.enabled[1] || view.enabled[1] != view.enabled[2])
            return fail("fields-apart",
                        std::string("the fields are not all enabled or all locked: nickname ") +
                            (view.enabled[0] ? "enabled" : "locked") + ", address " +
                            (view.enabled[1] ? "enabled" : "locked") + ", port " +
                            (view.enabled[2] ? "enabled" : "locked"));
        return true;
    }

    // ---- Acting

    HWND list() const { return GetDlgItem(view.main, kIdServerNickList); }

    // A visible row (or -1: below the last row) and where to click it.
    std::optional<std::pair<int, POINT>> rowPoint(std::uint8_t arg) {
        const HWND lb = list();
        RECT client{};
        GetClientRect(lb, &client);
        const int top = static_cast<int>(sent(lb, LB_GETTOPINDEX, 0, 0));
        std::vector<int> visible;
        int below = -1;
        for (int i = top; i < static_cast<int>(view.rows.size()); ++i) {
            RECT r{};
            sent(lb, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
            if (r.bottom > client.bottom) break;
            visible.push_back(i);
            below = r.bottom;
        }
        const bool emptyBelow = below < client.bottom - 4;
        const int choices = static_cast<int>(visible.size()) + (emptyBelow ? 1 : 0);
        if (choices == 0) return std::nullopt;
        const int pick = arg % choices;
        POINT at{};
        int row = -1;
        if (pick < static_cast<int>(visible.size())) {
            row = visible[static_cast<std::size_t>(pick)];
            RECT r{};
            sent(lb, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
            at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        } else {
            at = {client.right / 2, (std::max(below, 0) + client.bottom) / 2};
        }
        ClientToScreen(lb, &at);
        return std::pair{row, at};
    }

    void toFront() {
        HWND front = view.boxes.empty() ? view.main : view.boxes.front();
        if (front && GetForegroundWindow() != front) SetForegroundWindow(front);
    }

    std::wstring text(std::uint8_t arg) const {
        const auto& texts = player.setup_.texts;
        return texts.empty() ? L"x" : texts[arg % texts.size()];
    }

    std::wstring importFile(std::uint8_t arg) const {
        static constexpr const wchar_t* kFiles[] = {L"servers.txt", L"nothing.txt", L"many.txt",
                                                    L"list.ini",    L"nul.txt",     L"missing.txt",
                                                    L"repeats.txt"};
        return player.root_ + L"\\import\\" + kFiles[arg % std::size(kFiles)];
    }

    // Plays one action; `startAction` says whether it may start the game.
    bool act(const Action& a, bool& startAction) {
        const bool boxOpen = !view.boxes.empty();
        // Whatever reaches a question at the close may answer it: a typed N is No.
        if (closing && boxOpen) answeredAtClose = true;
        const bool listFocus = view.focus == list();
        startAction = false;
        clickedRow = -1;
        maybeStart = (a.op == Op::Key || a.op == Op::HeldKey)
                         ? kKeys[a.arg % std::size(kKeys)].key == VK_RETURN
                     : a.op == Op::Answer    ? a.arg % 5 == 0
                     : a.op == Op::AccessKey ? a.arg % 11 == 0
                                             : a.op == Op::Import;  // the Open dialog's Enter
        // A click in another window, or with the other button, between two clicks on a row:
        // they are no double-click. Only where such a click is given.
        if (a.op == Op::ClickButton || a.op == Op::ClickField) lastClick.reset();
        toFront();
        std::string said;
        switch (a.op) {
            case Op::ClickRow:
            case Op::DoubleClickRow: {
                if (boxOpen) {  // the box is in front: a click goes to the window behind it
                    said = "click on the window behind the box";
                    click(centreOf(list()));
                    break;
                }
                auto row = rowPoint(a.arg);
                if (!row) return true;
                const bool twice = a.op == Op::DoubleClickRow;
                said =
                    std::string(twice ? "double-click" : "click") +
                    (row->first < 0 ? " below the last row"
                                    : " on row " + std::to_string(row->first) + " " +
                                          shown(view.rows[static_cast<std::size_t>(row->first)]));
                clickedRow = row->first;
                // Windows makes a second click at the same place soon after the first a
                // double-click, whatever the clicks were meant as. Well within that time it is
                // played as one; near its end the click moves aside, out of the double-click
                // rectangle, so that no run depends on how busy the machine is.
                const bool samePlace = lastClick && lastClick->first.x == row->second.x &&
                                       lastClick->first.y == row->second.y;
                const ULONGLONG since = samePlace ? GetTickCount64() - lastClick->second : 0;
                const bool asSecond = samePlace && since + 150 < GetDoubleClickTime();
                const bool nearTheEnd =
                    samePlace && !asSecond && since < GetDoubleClickTime() + 1000;
                if (nearTheEnd) row->second.x += GetSystemMetrics(SM_CXDOUBLECLK) + 2;
                // Wine pairs a third quick click with the second of a double-click too.
                lastClick = std::pair{row->second, GetTickCount64()};
                if (asSecond && !twice)
                    said += " (a double-click to Windows: soon after a click there)";
                // Moved aside, it may still be one where the machine is slow to deliver the
                // first: a start of that row is no start unasked.
                if (nearTheEnd && row->first >= 0) {
                    maybeStart = true;
                    startTarget = view.rows[static_cast<std::size_t>(row->first)];
                }
                if ((twice || asSecond) && row->first >= 0) {
                    startAction = true;
                    startTarget = view.rows[static_cast<std::size_t>(row->first)];
                }
                click(row->second, twice ? 2 : 1);
                break;
            }
            case Op::ClickButton: {
                static constexpr std::pair<int, const char*> kButtons[] = {
                    {kIdDeleteButton, "Delete Server"},
                    {kIdEditButton, "Edit Server"},
                    {kIdAddButton, "Add Server"}};
                const auto& [id, name] = kButtons[a.arg % 3];
                said = std::string("click ") + name;
                click(centreOf(GetDlgItem(view.main, id)));
                break;
            }
            case Op::Key:
            case Op::HeldKey: {
                const KeyStroke& k = kKeys[a.arg % std::size(kKeys)];
                const int repeats = a.op == Op::HeldKey ? 2 + (a.arg / std::size(kKeys)) % 4 : 1;
                said = std::string(k.name) +
                       (repeats > 1 ? " held (" + std::to_string(repeats) + " downs)" : "");
                if (!boxOpen && k.key == VK_RETURN && (listFocus || view.menuOpen)) {
                    const auto target = view.menuOpen ? menuTarget : selectedRow();
                    if (target) {
                        startAction = true;
                        startTarget = target;
                    }
                }
                if (!boxOpen && (k.key == VK_F10 || k.key == VK_APPS)) menuTarget = selectedRow();
                press(k, repeats);
                break;
            }
            case Op::ClickField: {
                static constexpr const char* kNames[] = {"nickname", "address", "port"};
                said = std::string("click into the ") + kNames[a.arg % 3] + " field";
                click(centreOf(GetDlgItem(view.main, kFieldIds[a.arg % 3])));
                break;
            }
            case Op::Type: {
                const std::wstring t = text(a.arg);
                said = "type " + shown(t);
                typeText(t);
                break;
            }
            case Op::Paste: {
                const bool files = a.arg % 5 == 4;
                if (files) {
                    const std::wstring path = importFile(a.arg / 5);
                    said = "paste the file " + utf8(path.substr(path.rfind(L'\\') + 1));
                    putFilesOnClipboard({path});
                } else {
                    std::wstring t = text(a.arg);
                    if (a.arg & 0x80)
                        t += L"\r\n" + text(static_cast<std::uint8_t>(a.arg * 7 + 3)) + L"\r\n" +
                             text(static_cast<std::uint8_t>(a.arg * 13 + 1));
                    said = "paste " + shown(t);
                    putTextOnClipboard(t);
                }
                press(a.arg & 0x40 ? KeyStroke{VK_INSERT, VK_SHIFT, ""}
                                   : KeyStroke{'V', VK_CONTROL, ""});
                said += a.arg & 0x40 ? " with Shift+Insert" : " with Ctrl+V";
                break;
            }
            case Op::Menu: {
                if (a.arg % 3 == 0) {
                    const auto row = boxOpen ? std::nullopt : rowPoint(a.arg / 3);
                    if (!row) return true;
                    said =
                        "right-click " + (row->first < 0 ? std::string("below the last row")
                                                         : "on row " + std::to_string(row->first));
                    menuTarget =
                        row->first < 0
                            ? std::nullopt
                            : std::optional(view.rows[static_cast<std::size_t>(row->first)]);
                    lastClick.reset();
                    click(row->second, 1, true);
                } else {
                    const KeyStroke k = a.arg % 3 == 1 ? KeyStroke{VK_F10, VK_SHIFT, "Shift+F10"}
                                                       : KeyStroke{VK_APPS, 0, "Menu key"};
                    said = k.name;
                    if (!boxOpen) menuTarget = selectedRow();
                    press(k);
                }
                break;
            }
            case Op::AccessKey: {
                static constexpr char kLetters[] = "SCRUMDPIEAO";
                const char letter = kLetters[a.arg % (sizeof kLetters - 1)];
                said = std::string("key ") + letter + (view.menuOpen ? " in the menu" : "");
                if (view.menuOpen && !boxOpen) {
                    if (letter == 'S' && menuTarget) {
                        startAction = true;
                        startTarget = menuTarget;
                    }
                }
                press({static_cast<WORD>(letter), 0, ""});
                break;
            }
            case Op::Import: {
                const std::wstring path = importFile(a.arg / 2);
                const std::string name = utf8(path.substr(path.rfind(L'\\') + 1));
                if (!boxOpen || !isFileDialog(view.boxes.front())) {
                    said = "drop " + name + " on the window";
                    drop({path});
                } else if (a.arg % 2) {
                    said = "name " + name + " in the Open dialog";
                    typeText(path);
                    press({VK_RETURN, 0, ""});
                } else {
                    said = "Escape in the Open dialog";
                    press({VK_ESCAPE, 0, ""});
                }
                break;
            }
            case Op::Answer: {
                if (!boxOpen) return true;
                const HWND box = view.boxes.front();
                std::vector<HWND> buttons;
                for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                    if (className(c) == L"Button" && IsWindowVisible(c)) buttons.push_back(c);
                switch (a.arg % 5) {
                    case 0:
                        said = "answer Enter";
                        press({VK_RETURN, 0, ""});
                        break;
                    case 1:
                        said = "answer Escape";
                        press({VK_ESCAPE, 0, ""});
                        break;
                    case 2:
                        said = "answer with the close box";
                        PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
                        break;
                    case 3:
                        said = "answer Alt+F4";
                        press({VK_F4, VK_MENU, ""});
                        break;
                    default:
                        if (buttons.empty()) return true;
                        {
                            const HWND b = buttons[(a.arg / 5) % buttons.size()];
                            said = "click the button " + shown(windowText(b));
                            lastClick.reset();
                            click(centreOf(b));
                        }
                }
                break;
            }
            case Op::Disk: {
                const bool locked = lock != INVALID_HANDLE_VALUE;
                const auto bytes = listFileBytes(static_cast<std::uint8_t>(a.arg / 4));
                switch (a.arg % 4) {
                    case 0:
                    case 1:
                        // While another program holds the file, nobody else changes it.
                        if (locked) {
                            said = "another program cannot change the locked list file";
                        } else if (a.arg % 4 == 0 && bytes) {
                            said = "another program rewrites the list file";
                            writeBytes(listPath, *bytes);
                        } else {
                            said = "another program deletes the list file";
                            DeleteFileW(listPath.c_str());
                        }
                        if (!locked) leftOnDisk = onDisk(listPath);
                        break;
                    case 2:
                        said = "another program locks the list file";
                        if (!locked)
                            lock = CreateFileW(listPath.c_str(), GENERIC_READ, 0, nullptr,
                                               OPEN_EXISTING, 0, nullptr);
                        break;
                    default:
                        said = "another program lets the list file go";
                        unlock();
                }
                break;
            }
            case Op::EndOfWindows:
                return endOfWindows(a.arg % 3);
            case Op::Close:
                said = "close the window";
                closing = true;
                PostMessageW(view.main, WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
            default:
                return true;
        }
        trace(said);
        const bool typed = a.op == Op::Type || a.op == Op::Import || a.op == Op::Paste;
        if (!settle(typed || boxOpen ? 50 : 15)) return false;
        trace("    -> " + describe(view));
        return true;
    }

    std::optional<std::wstring> selectedRow() const {
        if (view.selected < 0 || view.selected >= static_cast<int>(view.rows.size()))
            return std::nullopt;
        return view.rows[static_cast<std::size_t>(view.selected)];
    }

    // Files dropped as Explorer drops them: the list of files lives in the program's own
    // process, where the window reads and frees it.
    void drop(const std::vector<std::wstring>& paths) {
        const std::string bytes = dropFiles(paths);
        void* remote = VirtualAllocEx(process, nullptr, bytes.size(), MEM_COMMIT | MEM_RESERVE,
                                      PAGE_READWRITE);
        if (!remote) return;
        WriteProcessMemory(process, remote, bytes.data(), bytes.size(), nullptr);
        POINT at = centreOf(list());
        ScreenToClient(view.main, &at);
        PostMessageW(view.main, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
    }

    void unlock() {
        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
        lock = INVALID_HANDLE_VALUE;
    }

    // Windows asks whether it may end the session, then ends it or calls it off. An installer
    // closing the program asks the same with ENDSESSION_CLOSEAPP.
    bool endOfWindows(int how) {
        static constexpr const char* kHow[] = {"Windows asks to end and calls it off",
                                               "Windows ends", "an installer closes the program"};
        trace(kHow[how]);
        const View before = view;
        const LPARAM reason = how == 2 ? ENDSESSION_CLOSEAPP : 0;
        DWORD_PTR mayEnd = 0;
        if (!SendMessageTimeoutW(view.main, WM_QUERYENDSESSION, 0, reason, SMTO_NORMAL,
                                 scaled(5000), &mayEnd))
            return alive() ? fail("hang", "the window did not answer the end of Windows in 5 s")
                           : true;
        const bool ends = how != 0 && mayEnd;
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(view.main, WM_ENDSESSION, ends, reason, SMTO_NORMAL, scaled(5000),
                                 &ignored))
            return alive() ? fail("hang", "the window did not answer WM_ENDSESSION in 5 s") : true;
        if (ends) {  // Windows ends the process once WM_ENDSESSION has returned
            closing = true;
            TerminateProcess(process, 0);
            WaitForSingleObject(process, scaled(10000));
            return true;
        }
        if (!settle()) return false;
        trace("    -> " + describe(view));
        // Saved when Windows asked: what the file holds now is what the program last wrote,
        // and a list as it is now counts as unchanged from here on.
        if (const DiskFile now = onDisk(listPath);
            lock == INVALID_HANDLE_VALUE && leftOnDisk && !(now == *leftOnDisk)) {
            trace("    the list file was saved");
            leftOnDisk = now;
            rowsAtStart = nicknamesIn(now.bytes);
            entryChanged = false;
            if (entryOut) std::copy(view.fields, view.fields + 3, outTaken);
        }
        // Called off: the window goes on as the user left it.
        if (before.boxes.empty() && view.boxes.empty() && view.main &&
            (view.rows != before.rows || !std::equal(view.fields, view.fields + 3, before.fields) ||
             !std::equal(view.enabled, view.enabled + 3, before.enabled)))
            return fail("end-called-off",
                        "after the end of Windows was called off the window shows " +
                            describe(view) + " instead of " + describe(before));
        return true;
    }

    // ---- After a step

    bool check(const View& before, const Action& a, bool startAction) {
        const double began = nowMs();
        trackEntryOut(before);
        const bool ok =
            checkBoxes() && checkStarts(startAction) && checkFields() && checkStep(before, a);
        player.timings_.checks += nowMs() - began;
        return ok;
    }

    static std::size_t firstDifference(const std::vector<std::wstring>& a,
                                       const std::vector<std::wstring>& b) {
        std::size_t i = 0;
        while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
        return i;
    }

    // Which entry Edit took out and where it goes back, seen from the list and the fields only:
    // whatever took it (the button, Alt+E, its letter, Enter on the button), the fields open
    // with an entry that has left the list (or, with one out already, with another); a click or
    // a start puts it back as the fields then held it. Rows taken out or put in above it move
    // its place; what cannot be followed so leaves its place unknown.
    void trackEntryOut(const View& before) {
        if (!view.main) return;
        const bool quiet = before.boxes.empty() && view.boxes.empty() && !view.menuOpen;
        const bool asTaken = std::equal(before.fields, before.fields + 3, outTaken);
        const bool fieldsNow = !std::equal(view.fields, view.fields + 3, before.fields);
        const auto& b = before.rows;
        const auto& v = view.rows;
        const bool tookOne = v.size() + 1 == b.size() && (!before.enabled[0] || fieldsNow) &&
                             std::count(b.begin(), b.end(), view.fields[0]) >
                                 std::count(v.begin(), v.end(), view.fields[0]);
        const bool tookAnother = entryOut && fieldsNow && v.size() == b.size() &&
                                 v != b;  // typing leaves the rows alone
        if (quiet && view.enabled[0] && (tookOne || tookAnother)) {
            entryChanged |= entryOut && !asTaken;
            entryOut = true;
            std::copy(view.fields, view.fields + 3, outTaken);
            outAt = tookOne ? static_cast<int>(firstDifference(b, v)) : -1;
            return;
        }
        // Locked fields show that it went back, also behind the menu or a box.
        if (entryOut && !view.enabled[0]) {
            entryChanged |= !asTaken;
            entryOut = false;
            return;
        }
        // An entry like the open fields left the list, which the fields still show: Edit took
        // it, or Delete did while the fields were open. Which one, nobody can see.
        if (!view.enabled[0]) entryMaybeOut = false;
        if (quiet && view.enabled[0] && before.enabled[0] && !fieldsNow &&
            v.size() + 1 == b.size() &&
            std::count(b.begin(), b.end(), view.fields[0]) >
                std::count(v.begin(), v.end(), view.fields[0]))
            entryMaybeOut = true;
        if (!entryOut || outAt < 0 || v == b) return;
        const std::size_t d = firstDifference(b, v);
        const auto at = static_cast<std::size_t>(outAt);
        if (d >= b.size() || d >= v.size()) return;  // only the end changed: appended or undone
        const auto from = static_cast<std::ptrdiff_t>(d);
        if (v.size() + 1 == b.size() && std::equal(b.begin() + from + 1, b.end(), v.begin() + from))
            outAt -= d < at ? 1 : 0;  // one row taken out
        else if (v.size() == b.size() + 1 &&
                 std::equal(v.begin() + from + 1, v.end(), b.begin() + from))
            outAt = d < at    ? outAt + 1
                    : d == at ? -1
                              : outAt;  // one put in; at its place: either side
        else
            outAt = -1;  // moved, or more at once
    }

    // What one step may do, seen from the list and the fields.
    bool checkStep(const View& before, const Action& a) {
        if (!view.main || !before.boxes.empty() || !view.boxes.empty() || view.menuOpen)
            return true;
        // A held key deletes at most one entry, as one press does.
        if (a.op == Op::HeldKey && before.rows.size() > view.rows.size() + 1)
            return fail("key-repeats", "a held key took " +
                                           std::to_string(before.rows.size() - view.rows.size()) +
                                           " entries out of the list");
        // A click on a row selects it and shows it, locked, in the fields.
        if (a.op == Op::ClickRow && clickedRow >= 0 && !before.menuOpen && view.selected >= 0 &&
            !view.enabled[0] &&
            view.fields[0] != view.rows[static_cast<std::size_t>(view.selected)])
            return fail("click-fields",
                        "row " + std::to_string(view.selected) + " " +
                            shown(view.rows[static_cast<std::size_t>(view.selected)]) +
                            " is selected and the fields show " + shown(view.fields[0]));
        outcome.seen.insert("rows " + std::to_string(std::min<std::size_t>(view.rows.size(), 30)) +
                            (view.enabled[0] ? " editing" : ""));
        return true;
    }

    // ---- The end of a program

    // Once the window has gone: the list file, or a copy the program made, holds the list the
    // window showed last (with the entry out for editing, which goes back), unless the user
    // chose to discard it; a list the user did not change is not written.
    bool checkEnd(const View& last, bool lastEntryOut) {
        const double began = nowMs();
        unlock();
        const DiskFile now = onDisk(listPath);
        const bool ok = [&] {
            // An entry taken out for editing and not changed goes back as it was: no change.
            const bool outAsTaken =
                !lastEntryOut || std::equal(last.fields, last.fields + 3, outTaken);
            bool changed = entryChanged || !outAsTaken;
            // The entry out may go back where the list is as it started.
            bool unsure = entryMaybeOut;
            if (!changed && !lastEntryOut) changed = last.rows != rowsAtStart;
            if (!changed && lastEntryOut && outAt >= 0) {
                std::vector<std::wstring> full = last.rows;
                const auto place = std::min<std::ptrdiff_t>(outAt, std::ssize(full));
                full.insert(full.begin() + place, outTaken[0]);
                changed = full != rowsAtStart;
            } else if (!changed && lastEntryOut) {
                changed = true;
                for (std::size_t at = 0; at <= last.rows.size(); ++at) {
                    std::vector<std::wstring> with = last.rows;
                    with.insert(with.begin() + static_cast<std::ptrdiff_t>(at), outTaken[0]);
                    if (with == rowsAtStart) changed = false, unsure = true;
                }
            }
            // Keys that reached the buttons within one step (a typed A, then E) may have added an
            // entry and taken it out again, which no look saw: with the fields open, a file
            // written as the rows with the fields' entry among them may be that entry going back.
            if (!changed && !lastEntryOut && last.enabled[0] && now.exists) {
                const std::vector<std::wstring> names = nicknamesIn(now.bytes);
                for (std::size_t at = 0; at <= last.rows.size() && !unsure; ++at) {
                    std::vector<std::wstring> with = last.rows;
                    with.insert(with.begin() + static_cast<std::ptrdiff_t>(at), last.fields[0]);
                    unsure = with == names;
                }
            }
            if (!changed && !unsure && leftOnDisk && !(now == *leftOnDisk))
                return fail("written-unchanged",
                            "the list was not changed and its file was written: " +
                                listed(nicknamesIn(now.bytes)));
            const std::wstring outName = last.fields[0];
            auto holdsList = [&](const std::string& bytes) {
                const std::vector<std::wstring> names = nicknamesIn(bytes);
                if (names == last.rows) return true;
                if (!lastEntryOut && !(last.enabled[0] && names.size() == last.rows.size() + 1))
                    return false;
                for (std::size_t at = 0; at <= last.rows.size(); ++at) {
                    std::vector<std::wstring> with = last.rows;
                    with.insert(with.begin() + static_cast<std::ptrdiff_t>(at), outName);
                    if (with == names) return true;
                }
                return false;
            };
            if (holdsList(now.exists ? now.bytes : std::string()))
                return true;  // no file holds no server
            for (const std::wstring& copy : copies()) {
                std::string bytes;
                if (!copiesBefore.count(copy) && readBytes(copy, bytes) && holdsList(bytes))
                    return true;
            }
            // Not saved: right only where the user chose so, and then the file is as it was.
            if (answeredAtClose && leftOnDisk && now == *leftOnDisk) return true;
            if (!changed) return true;  // not written, checked above
            return fail("list-lost",
                        "the window showed " + listed(last.rows) +
                            (lastEntryOut ? " with " + shown(outName) + " out for editing" : "") +
                            " and the list file holds " +
                            (now.exists ? listed(nicknamesIn(now.bytes)) : "nothing") +
                            ", and no new copy holds it");
        }();
        player.timings_.checks += nowMs() - began;
        return ok;
    }

    // After the last action: the user closes the window, answering what it asks, until it has
    // gone. Each round answers in another way, so that no answer can keep it open for ever.
    bool closeAtTheEnd() {
        unlock();
        static constexpr WORD kAnswers[] = {VK_RETURN, VK_ESCAPE, VK_TAB, VK_RETURN, VK_SPACE};
        for (int round = 0; round < 16 && alive() && IsWindow(view.main); ++round) {
            if (view.boxes.empty() && !view.menuOpen) {
                closing = true;
                trace("at the end: close the window");
                PostMessageW(view.main, WM_SYSCOMMAND, SC_CLOSE, 0);
            } else {
                toFront();
                if (closing && !view.boxes.empty()) answeredAtClose = true;
                // A menu or the Open dialog is left by Escape: anything else there may open
                // another box of its own (a file name that is not there).
                const bool escape =
                    view.menuOpen || (!view.boxes.empty() && isFileDialog(view.boxes.front()));
                const WORD key = escape ? VK_ESCAPE : kAnswers[round % std::size(kAnswers)];
                trace(std::string("at the end: ") + (key == VK_RETURN   ? "Enter"
                                                     : key == VK_ESCAPE ? "Escape"
                                                     : key == VK_TAB    ? "Tab"
                                                                        : "Space"));
                press({key, 0, ""});
            }
            const View last = view;
            const bool out = entryOut;
            settle();
            trackEntryOut(last);
            if (outcome.failure) return false;
            if (!IsWindow(last.main)) return checkEnd(last, out);
        }
        if (alive() && IsWindow(view.main))
            return fail("no-close", "the window could not be closed by any answer");
        return true;
    }

    Outcome play() {
        if (!start()) return std::move(outcome);
        for (const Action& a : input.actions) {
            ++outcome.actions;
            if (!alive() || !IsWindow(view.main)) {
                // Closed or ended: started again on what it left.
                player.ending_.push_back(process);
                process = nullptr;
                view = {};
                if (!start()) break;
                continue;
            }
            const View before = view;
            const bool out = entryOut;
            bool startAction = false;
            const double began = nowMs(), settling = player.timings_.settle;
            if (!act(a, startAction)) break;
            player.timings_.input += nowMs() - began - (player.timings_.settle - settling);
            if (outcome.failure) break;
            if (!IsWindow(before.main) || !alive()) {
                if (!closing) {
                    DWORD code = STILL_ACTIVE;
                    WaitForSingleObject(process, scaled(5000));
                    GetExitCodeProcess(process, &code);
                    fail("crash", "the window went away by itself; the program's status: " +
                                      std::to_string(code));
                    break;
                }
                if (!checkEnd(before, out)) break;
                continue;
            }
            if (!check(before, a, startAction)) break;
            if (view.boxes.empty()) startTarget.reset();
        }
        if (!outcome.failure && process && alive()) {
            const double began = nowMs(), settling = player.timings_.settle;
            closeAtTheEnd();
            player.timings_.settle = settling;  // counted as the end's
            player.timings_.end += nowMs() - began;
        }
        unlock();
        if (process) {
            if (outcome.failure) TerminateProcess(process, 1);
            player.ending_.push_back(process);
        }
        return std::move(outcome);
    }
};

Player::Player(Setup setup) : setup_(std::move(setup)) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    root_ = std::wstring(temp) + L"hostdeck-window-fuzz-" + std::to_wstring(GetCurrentProcessId());
    for (const wchar_t* dir : {L"", L"\\Game", L"\\Game\\exe", L"\\import"})
        CreateDirectoryW((root_ + dir).c_str(), nullptr);
    CopyFileW(setup_.standIn.c_str(), (root_ + L"\\Game\\exe\\vantorel.exe").c_str(), FALSE);
    // Files to import: servers, none, many lines that are no servers, a list file, a NUL.
    std::string many;
    for (int i = 0; i < 400; ++i) many += "line " + std::to_string(i) + " is no server at all\r\n";
    writeBytes(root_ + L"\\import\\servers.txt",
               "10.9.9.9:27015\tImported\r\nnew.example:2300\r\n[::2]:99 Six\r\n");
    writeBytes(root_ + L"\\import\\nothing.txt", "; nothing here\r\n\r\njust words\r\n");
    writeBytes(root_ + L"\\import\\many.txt", many);
    writeBytes(root_ + L"\\import\\list.ini", "Home#10.0.0.5#27015\r\nMore#more.example#1\r\n");
    writeBytes(root_ + L"\\import\\nul.txt", std::string("a:1\0b:2\r\n", 9));
    // Eighty servers the first list has already: the question about them names many.
    std::string repeats;
    for (int i = 0; i < 80; ++i) repeats += "10.0.0.5:27015\tHome " + std::to_string(i) + "\r\n";
    writeBytes(root_ + L"\\import\\repeats.txt", repeats);
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kGameKey, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                        &key, nullptr);
        const std::wstring path = root_ + L"\\Game";
        RegSetValueExW(key, kGamePathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

namespace {

// A folder with all it holds, as the shell removes it.
void removeFolder(const std::wstring& folder) {
    SHFILEOPSTRUCTW remove{};
    const std::wstring from = folder + L'\0';  // a list of paths, ending in an empty one
    remove.wFunc = FO_DELETE;
    remove.pFrom = from.c_str();
    remove.fFlags = FOF_NO_UI;
    SHFileOperationW(&remove);
}

}  // namespace

Player::~Player() {
    finishEnding(scaled(10000));
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kGameKey, view, 0);
    removeFolder(root_);
}

std::optional<Failure> Player::finishEnding(DWORD timeoutMs) {
    std::optional<Failure> failure;
    for (HANDLE process : ending_) {
        DWORD code = 0;
        if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) {
            TerminateProcess(process, 1);
            failure = Failure{"hang", "the program did not end after its window had gone"};
        } else if (GetExitCodeProcess(process, &code) && code != 0) {
            char text[64];
            std::snprintf(text, sizeof text, "the program ended with status 0x%08lX", code + 0UL);
            failure = Failure{"crash", text};
        }
        CloseHandle(process);
    }
    ending_.clear();
    return failure;
}

Outcome Player::play(const Input& input) {
    // Each run in a folder of its own: the program of the run before may still be ending.
    const std::wstring folder = root_ + L"\\run" + std::to_wstring(nextSlot_++ % 4);
    if (nextSlot_ % 4 == 0) {
        if (auto late = finishEnding(scaled(10000))) {
            Outcome outcome;
            outcome.failure = late;
            return outcome;
        }
    }
    removeFolder(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    CopyFileW(setup_.program.c_str(), (folder + L"\\hostdeck.exe").c_str(), FALSE);
    Run run(*this, input);
    run.folder = folder;
    run.listPath = folder + L"\\serverlist.ini";
    run.launchesPath = root_ + L"\\Game\\exe\\launches.txt";
    std::string launches;
    readBytes(run.launchesPath, launches);
    run.launchesSeen = launches.size() / 2;
    if (const auto bytes = listFileBytes(input.listFile)) writeBytes(run.listPath, *bytes);
    return run.play();
}

}  // namespace hostdeck::windowfuzz
