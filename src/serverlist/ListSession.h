#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileStore.h"
#include "serverlist/ServerImport.h"
#include "serverlist/ServerListFile.h"
#include "serverlist/ServerListModel.h"
#include "texts/UserTexts.h"

namespace hostdeck {

// Something the session asks the user, with the answers to choose from.
struct Question {
    enum class Tone { Information, Warning, Error };
    enum class Choices { Ok, YesNo, YesNoCancel, CancelTryContinue };
    enum class Answer { Ok, Yes, No, Cancel, TryAgain, Continue };
    // What is asked, so that an answer never depends on the words. The answers that give up
    // some of the window's list are named; every text that offers one says so.
    enum class Kind {
        Message,            // the window tells something: Ok
        ListUnread,         // at start: Ok
        CopiesKept,         // at start: Ok
        EntryCannotGoBack,  // Yes discards the entry out for editing
        AlreadyInList,      // Add: Yes adds a second entry for the same server
        ChangedOnDisk,      // No keeps the file and gives up the window's changes
        UnreadableOnDisk,   // the same
        SaveFailed,         // Cancel, Try Again, Continue (a copy)
        ReadableNow,        // No gives up the window's servers
        GoneNow,            // the same
        KeptInCopy,         // Ok
        NoCopyEither,       // Yes gives up the window's changes
        ImportRepeated,     // Yes imports the repeated servers too, No leaves them out, Cancel
                            // imports nothing
        Imported,           // what an import did: Ok
        ExportRefused,      // the list file chosen to export to: Yes chooses another place
        ExportFailed,       // the same, after a failed write
        Exported,           // what an export did: Ok
    };
    Tone tone = Tone::Information;
    Choices choices = Choices::Ok;
    Answer byDefault = Answer::Ok;  // Enter; Escape gives Cancel where there is one
    std::wstring text;
    Kind kind = Kind::Message;
};

// The person at the window, who answers the session's questions.
class User {
  public:
    virtual Question::Answer ask(const Question& question) = 0;
    // Says `text` while the window goes on answering, and asks `done` every so often until
    // it says true (then true) or the user chooses to go back to the window (then false).
    virtual bool waitUntil(const std::wstring& text, const std::function<bool()>& done) = 0;

  protected:
    ~User() = default;
};

// The list from its load at start to its save at the end, and every decision about the list
// file in between: what the user is told and asked, when the file may be replaced, and what
// is kept where when it may not. Nothing of the user's list is dropped without the user's
// own choice, and a list that did not change is not written.
class ListSession {
  public:
    // `userFolder`: the user folder (ProgramFolder.h), for a copy that cannot go beside the list.
    ListSession(FileStore& files, std::wstring listPath, std::wstring userFolder,
                ServerListModel& model, User& user);
    ListSession(const ListSession&) = delete;
    ListSession& operator=(const ListSession&) = delete;

    // Fills the model from the list file, before the window is shown.
    void load();
    // Once the window shows: why the list could not be read, and the copies kept earlier.
    bool hasStartNotes() const { return !loaded_.ok() || !copiesFound_.empty(); }
    void tellStartNotes();

    // Before the fields are replaced or the window closes: an entry out for editing goes back
    // into the list, or the user decides what becomes of it. False: leave all as it is (also
    // when Windows ended the session while the user was asked).
    bool settleEntryOutForEditing();

    // The user made `selected` the list's selected item (kNoItem: none), by a click or a key:
    // it becomes the current entry once an entry out for editing is back. True when it did;
    // false when none is selected or the user kept editing (then none is current).
    bool takeSelection(ListIndex selected);
    // A click on the list: takes the selection and copies that entry into the fields.
    void click(ListIndex selected) {
        if (takeSelection(selected)) model_.select();
    }

    // Add, as the user asks for it: a server with the address and port of one in the list is
    // added only when the user says so (Cancelled when not), an entry out for editing too.
    Result add();

    // Appends the servers of `lines` to the list, as one change that Undo takes back; the last
    // becomes current. Servers the list already has (by Add's rule), or that came before in
    // `lines`, are asked about once; servers the list file cannot hold are left out; an import
    // that would take the list past kMostEntries imports nothing. One message says what was
    // done. The fields, and an entry out for editing, stay as they are. Cancelled when nothing
    // was imported.
    Result importServers(const ServerLines& lines);

    // Writes every server of the list to `path`, a file the user chose (ServerExport.h), as a
    // save writes: the file there is replaced whole or left as it was. The list file itself is
    // refused, as the session saves it. One message says what was done. Ok when written;
    // Failed when it was not and the user wants to choose another place; Cancelled otherwise.
    Result exportServers(const std::wstring& path);

    // The window is asked to close: saves, or asks what to do when the file changed on disk or
    // the save failed. False: the window stays open, with nothing lost.
    bool mayClose();

    // Windows ends the session (or an installer closes the program) and nobody can be asked:
    // saves where that is safe, and keeps a copy of the list otherwise. The program ends next.
    // Failed, with the reason, when the list could neither be saved nor kept in a copy: the
    // window then asks Windows to wait and tells the user, and the session goes on.
    Result endSession();
    // Windows did not end after all: the window goes on, and its list is saved at close again.
    void resumeAfterEndSession();

    // Nothing more to do: the list is saved, kept, or left as it was by the user's choice.
    bool done() const { return done_; }

    // Windows gives a program a few seconds to end: so long, at most, the end of the session
    // waits for another Hostdeck that is saving the list.
    static constexpr unsigned kEndSessionWaitMs = 2000;

  private:
    // What an import adds and then says, once the user was asked; nothing when it adds nothing,
    // and the user was told why. The list does not change.
    struct ImportReady {
        std::vector<EntryText> entries;
        std::wstring summary;
    };
    std::optional<ImportReady> prepareImport(const ServerLines& lines);
    Question::Answer ask(Question::Kind kind, Question::Tone tone, Question::Choices choices,
                         Question::Answer byDefault, std::wstring text);
    // At close: the file changed (or cannot be read) since it was read; Yes replaces it.
    Question::Answer askToReplace(const ServerListFile::DiskCheck& disk);
    Question::Answer askAfterFailedSave(const std::wstring& why);
    // Saves `list` through `file`, waiting (while the window answers) for another Hostdeck
    // that is saving it; Busy when the user went back to the window instead.
    Result saveWaiting(ServerListFile& file, const ServerListModel& list);
    // At close, when the list file could not be read at start.
    bool closeAfterFailedLoad();
    // What the question at such a close says of the window's servers the file has already.
    std::wstring repeatsLeftOut(const std::vector<ListIndex>& repeats) const;
    // At close, when the list cannot be saved: a copy, and where it is; or the user's choice.
    bool closeKeepingCopy(const std::wstring& why);
    Result keepCopy(std::wstring_view headline, const std::wstring& why, std::wstring& copy);
    // `text` with the list file's path for {1} and these for {2} and {3}.
    template <std::size_t Count, typename... Values>
    std::wstring say(const texts::Text<Count>& text, const Values&... values) const {
        return texts::fill(text, {std::wstring_view(file_.path()), std::wstring_view(values)...});
    }

    FileStore& files_;
    ServerListFile file_;
    std::wstring userFolder_;
    ServerListModel& model_;
    User& user_;
    Result loaded_;
    std::vector<std::wstring> copiesFound_;
    bool done_ = false;  // saved, or left as it was by the user's choice: nothing more to do
    bool endedBySession_ = false;  // done_ set by the end of the Windows session
    // Where the end of the session put the entry out for editing back, to take it out again
    // should the session go on; kNoItem when it put none back.
    ListIndex putBackAtEnd_ = kNoItem;
    // The list at the first of these changes() is the list at the second: the end of the
    // session put the entry out for editing back, and took it out again when it did not end.
    std::pair<std::uint64_t, std::uint64_t> sameListAs_{0, 0};
    std::uint64_t changesAtEnd_ = 0;
    bool listChangedSince(std::uint64_t changes) const;
    // The session goes on after an end of Windows: the window is as the user left it.
    void goOnAfterEnd();
    bool asking_ = false;  // a question is open: one at a time
};

}  // namespace hostdeck
