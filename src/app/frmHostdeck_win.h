#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "form/ListCommands.h"
#include "platform/FileStore.h"
#include "platform/ProcessStarter.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/UniqueHandle_win.h"
#include "serverlist/ListSession.h"
#include "serverlist/ServerListModel.h"

namespace hostdeck {

// What the window works with; the program's start (or a test) makes them and fills this by name,
// so that a new service touches only the places that use it.
struct FormServices {
    FileStore& files;
    Registry& registry;
    ProcessStarter& starter;
    Shell& shell;
    std::wstring folder = {};         // the program's: the how-to document, a shortcut's start
    std::wstring listPath = {};       // the list file
    std::wstring userFolder = {};     // for a copy of the list that cannot go beside it
    std::wstring program = {};        // the program's own file, which a desktop shortcut runs
    std::wstring desktopFolder = {};  // where a desktop shortcut goes
    std::wstring startNote = {};      // said once the window shows (a server not started)
    // File access for reading an imported file on the process's thread pool: a FileStore of the
    // read's own, as the read may outlive a wait that the user left.
    std::function<std::unique_ptr<FileStore>()> filesForReading = makeSystemFileStore;
};

// The text of a window or control.
std::wstring windowText(HWND window);

// The program's one window: the nickname list, the editor fields, the buttons and captions.
// The model holds the entries and fields; the controls mirror it and feed user events in.
class frmHostdeck final : private TextListObserver, private User {
  public:
    frmHostdeck(HINSTANCE instance, FormServices services);
    ~frmHostdeck();
    frmHostdeck(const frmHostdeck&) = delete;
    frmHostdeck& operator=(const frmHostdeck&) = delete;

    // Creates the window, loads the list, then shows the window.
    bool create(int showCommand);
    HWND window() const { return window_; }
    // What the message loop asks of each message before it is dispatched: a key of one of the
    // list's commands (kListCommands), then the keys that move between and press the controls.
    // True when the message was taken.
    bool translateMessage(MSG& message);

  private:
    // Mirrors one editor field of the model into its edit control.
    class FieldBinding final : public TextFieldObserver {
      public:
        FieldBinding(frmHostdeck& form, TextField& field, int control)
            : form_(form), field_(field), control_(control) {}
        int control() const { return control_; }
        // Binds the edit control of that id in the window.
        void attach(HWND window);
        void takeTextFromControl();
        void textChanged(const std::wstring& text) override;
        void enabledChanged(bool enabled) override;

      private:
        frmHostdeck& form_;
        TextField& field_;
        int control_;
        HWND edit_ = nullptr;
    };

    // Shared by the files that make up the window, each holding one of its jobs.
    static constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    static constexpr UINT kShowStartNotes = WM_APP + 1;
    static constexpr UINT kTellListNotKept = WM_APP + 2;
    static constexpr UINT_PTR kWaitTimer = 1;

    struct EventRoute {
        int control;
        int notification;
        void (frmHostdeck::*procedure)();
    };
    static const EventRoute kEventRoutes[];
    struct FieldRoute {
        int control;
        TextField ServerListModel::*field;
    };
    static const FieldRoute kFieldRoutes[];

    // ---- The list's commands beyond the window's buttons, one row each (ListCommands.cpp);
    // ListCommands_win.cpp runs them.
    ListState listState(bool onEntry) const { return {onEntry, &model_}; }
    static LRESULT CALLBACK commandSubclass(HWND control, UINT message, WPARAM wParam,
                                            LPARAM lParam, UINT_PTR id, DWORD_PTR form);
    void attachCommands();
    // Does the command; false: not taken, the control does its own.
    bool run(CommandId id);
    bool copyAddress();
    void createDesktopShortcut();
    void undo();
    void moveSelected(ListIndex by);
    // Text on the clipboard that is an address with a port fills the address and port fields;
    // false for any other text, which pastes as usual.
    bool pasteAddressPort();
    // The list's file commands (FileCommands_win.cpp). Servers brought in from elsewhere: the
    // clipboard's lines, a file chosen in the Open dialog, files dropped on the window; all go
    // to the session's one import.
    void pasteServers();
    void importServersFromFile();
    LRESULT onDropFiles(HDROP drop);
    void importFiles(const std::vector<std::wstring>& paths);
    // Every server of the list written to a file chosen in the Save dialog.
    void exportServers();
    // Runs `read` (which fills `lines`) on the process's thread pool, so that a slow share
    // or a large file does not freeze the window: a read that takes long shows a wait that says
    // `waitText`, which the user may leave (false; the read then stops at its next line).
    bool readBeside(const std::wstring& waitText, std::shared_ptr<ServerLines> lines,
                    std::function<void()> read);

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // One handler for each message the window takes.
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onCreate();
    LRESULT onCommand(int id, int notification);
    LRESULT onActivate(bool active, bool minimised);
    LRESULT onDpiChanged(UINT dpi, const RECT& suggested);
    LRESULT showStartNotes();
    LRESULT onClose();
    LRESULT onWaitTimer();
    LRESULT onQueryEndSession();
    LRESULT tellListNotKept();
    LRESULT onEndSession(bool ending);
    LRESULT onContextMenu(HWND from, POINT at);

    void createControls();
    void layOut(UINT dpi);
    void placeCentred();
    void fillNicknameList();
    void addNicknames(ListIndex first);
    // The list box's selected item, as it reports it.
    ListIndex listSelection() const;
    void onEnter();
    // The list item under this point of the list's client area; kNoItem below the last one.
    ListIndex entryAt(POINT point) const;
    // The entry selected in the list box; kNoItem for none.
    ListIndex selectedEntry() const;
    // Starts the selected entry's server, as a double-click on it does.
    void startSelectedServer();
    // User: the list session's questions, and all the window says, as message boxes.
    Question::Answer ask(const Question& question) override;
    bool waitUntil(const std::wstring& text, const std::function<bool()>& done) override;
    void tell(Question::Tone tone, const std::wstring& text);

    // Event procedures.
    void Form_Load();
    // The window is asked to close; false keeps it open.
    bool Form_Unload();
    void lstServerNick_Click();
    void lstServerNick_DblClick();
    void cmdAddServer_Click();
    void cmdEditServer_Click();
    void cmdDelServer_Click();
    void cmdInfo_Click();

    // TextListObserver: keeps the list box in step with lstServerNick.
    void itemInserted(ListIndex index) override;
    void itemsAppended(ListIndex first, ListIndex count) override;
    void itemRemoved(ListIndex index) override;
    void itemsRemoved(ListIndex first, ListIndex count) override;
    void currentChanged(ListIndex index) override;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HWND nickList_ = nullptr;
    HWND focusWhenInactive_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    UniqueFont font_;
    UniqueFont fittedFont_;  // the instruction's, when the window's font is too large for it

    ServerListModel model_;
    std::vector<FieldBinding> fields_;
    bool updatingFromControl_ = false;
    const std::function<bool()>* waitDone_ = nullptr;  // while a wait is shown
    const std::wstring* waitText_ = nullptr;           // what its box says
    std::wstring notKeptReason_;   // why the list was not kept when Windows asked to end
    bool tellingNotKept_ = false;  // that is about to be said, or being said

    FormServices services_;
    ListSession session_;
};

}  // namespace hostdeck
