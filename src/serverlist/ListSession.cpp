#include "serverlist/ListSession.h"

#include <utility>

#include "platform/ScopeGuard.h"

namespace hostdeck {

using Answer = Question::Answer;
using Choices = Question::Choices;
using Tone = Question::Tone;
using DiskState = ServerListFile::DiskState;

namespace {

// The start note names so many copies, and says how many more there are.
constexpr std::size_t kCopiesNamed = 5;

constexpr wchar_t kKeptAtEnd[] = L"Hostdeck kept this copy of its server list when Windows ended.";
constexpr wchar_t kKeptAtClose[] =
    L"Hostdeck kept this copy of its server list when it closed without saving it.";

}  // namespace

ListSession::ListSession(FileStore& files, std::wstring listPath, std::wstring userFolder,
                         ServerListModel& model, User& user)
    : files_(files),
      file_(files, std::move(listPath)),
      userFolder_(std::move(userFolder)),
      model_(model),
      user_(user) {
    model_.setEntryCheck(&file_);
}

Answer ListSession::ask(Tone tone, Choices choices, Answer byDefault, std::wstring text) {
    asking_ = true;
    const ScopeGuard answered([this] { asking_ = false; });
    return user_.ask(Question{tone, choices, byDefault, std::move(text)});
}

void ListSession::load() {
    loaded_ = file_.load(model_);
    copiesFound_ = file_.copiesIn(file_.folder());
    // The user's folder may hold copies of other installations' lists too.
    for (std::wstring& copy : file_.copiesIn(userFolder_, true))
        copiesFound_.push_back(std::move(copy));
}

void ListSession::tellStartNotes() {
    if (!loaded_.ok()) {
        ask(Tone::Error, Choices::Ok, Answer::Ok,
            L"The server list could not be read.\n\n" + loaded_.reason +
                L"\n\nHostdeck will not overwrite it when it closes.");
    }
    if (copiesFound_.empty()) return;
    std::wstring text =
        L"Hostdeck could not save its list to the list file earlier, and kept it "
        L"here instead:\n";
    for (std::size_t i = 0; i < copiesFound_.size() && i < kCopiesNamed; ++i)
        text += L"\n" + copiesFound_[i];
    if (copiesFound_.size() > kCopiesNamed) {
        text += L"\n... and " + std::to_wstring(copiesFound_.size() - kCopiesNamed) +
                L" more copies, named in the same way, beside the list file or in " + userFolder_;
    }
    ask(Tone::Information, Choices::Ok, Answer::Ok,
        text +
            L"\n\nEach copy says at its top why. Take over from it what you need (it can also "
            L"replace " +
            file_.path() +
            L" as it is), then delete it. Hostdeck reminds you of it at each start while it "
            L"is there.");
}

bool ListSession::settleEntryOutForEditing() {
    const Result putBack = model_.putBackEntryOutForEditing();
    if (putBack.ok()) return true;
    const Answer answer =
        ask(Tone::Warning, Choices::YesNo, Answer::No,
            L"The server you took out with Edit Server has not been added back, and the list "
            L"file cannot hold it as it stands:\n\n" +
                putBack.reason + L"\n\nDiscard it? Choose No to go back and correct it.");
    if (answer != Answer::Yes) return false;
    model_.discardEntryOutForEditing();
    return true;
}

bool ListSession::mayClose() {
    if (done_) return true;
    if (asking_) return false;  // the question that is open decides
    if (!settleEntryOutForEditing()) return false;
    if (file_.loadFailed()) return closeAfterFailedLoad();
    // Nothing changed (or every change was undone): the file keeps every byte.
    if (file_.holdsAsKnown(model_)) return done_ = true;
    // Set when the file changed while a save was writing: the user is asked, even should the
    // file look as before by the time it is read again.
    bool changedWhileSaving = false;
    for (;;) {
        const ServerListFile::DiskCheck disk = file_.checkDisk();
        if (changedWhileSaving || disk.state == DiskState::Changed ||
            disk.state == DiskState::Unreadable) {
            const Answer answer = askToReplace(disk);
            if (done_) return true;  // Windows ended the session meanwhile
            if (answer != Answer::Yes) return done_ = answer == Answer::No;
            file_.mayReplace(disk);
        }
        const Result saved = saveWaiting(file_, model_);
        if (saved.ok() || done_) return done_ = true;
        if (saved.status == Result::Status::Busy) return false;  // the user went back
        changedWhileSaving = saved.status == Result::Status::Cancelled;
        if (changedWhileSaving) continue;
        const Answer answer = askAfterFailedSave(saved.reason);
        if (done_) return true;
        if (answer == Answer::Continue) return closeKeepingCopy(saved.reason);
        if (answer != Answer::TryAgain) return false;
    }
}

Result ListSession::saveWaiting(ServerListFile& file, const ServerListModel& list) {
    Result saved = file.save(list);
    if (saved.status != Result::Status::Busy) return saved;
    asking_ = true;
    const ScopeGuard answered([this] { asking_ = false; });
    user_.waitUntil(L"Another Hostdeck window is saving the server list file:\n" + file.path() +
                        L"\n\nHostdeck saves this window's list as soon as it has finished.\n\n"
                        L"Retry looks again now. Cancel goes back to the window; nothing is lost.",
                    [&] {
                        saved = file.save(list);
                        return saved.status != Result::Status::Busy;
                    });
    return saved;
}

// The file could not be read at start, so the window's list holds only what was added since.
// It is read again now: where it can be, the user may add those servers to the file's own.
bool ListSession::closeAfterFailedLoad() {
    if (model_.entryCount() == 0) return done_ = true;  // nothing of the window's to lose
    bool addAgreed = false;
    for (;;) {
        ServerListFile again(files_, file_.path());
        ServerListModel onDisk;
        Result result = again.load(onDisk);
        if (result.ok() && !addAgreed) {
            const Answer answer =
                ask(Tone::Warning, Choices::YesNoCancel, Answer::Cancel,
                    L"The server list file could not be read when Hostdeck started, so this window "
                    L"shows only the servers added since. It can be read now:\n" +
                        file_.path() + L"\n\nAdd the " + std::to_wstring(model_.entryCount()) +
                        L" servers of this window to it?\n\n"
                        L"Yes adds them after the file's own servers, which stay as they are.\n"
                        L"No keeps the file as it is; the servers of this window are lost.\n"
                        L"Cancel goes back to the window.");
            if (done_) return true;
            if (answer != Answer::Yes) return done_ = answer == Answer::No;
            addAgreed = true;
        }
        if (result.ok()) {
            for (ListIndex i = 0; i < model_.entryCount(); ++i) {
                onDisk.appendEntry(model_.lstServerNick.item(i), model_.lstServerIP.item(i),
                                   model_.lstServerPort.item(i));
            }
            result = saveWaiting(again, onDisk);
            if (result.ok() || done_) return done_ = true;
            if (result.status == Result::Status::Busy) return false;
        }
        const std::wstring why = result.status == Result::Status::Cancelled
                                     ? L"Another program changed the file while Hostdeck saved it."
                                     : result.reason;
        const Answer answer = askAfterFailedSave(why);
        if (done_) return true;
        if (answer == Answer::Continue) return closeKeepingCopy(why);
        if (answer != Answer::TryAgain) return false;
    }
}

Answer ListSession::askToReplace(const ServerListFile::DiskCheck& disk) {
    const std::wstring what =
        disk.state != DiskState::Unreadable
            ? L"The server list file has been changed by another program, or another Hostdeck "
              L"window, since Hostdeck read it:\n" +
                  file_.path()
            : L"Hostdeck cannot read the server list file now to see whether another program "
              L"changed it since Hostdeck read it:\n" +
                  file_.path() + L"\n\n" + disk.reason;
    return ask(Tone::Warning, Choices::YesNoCancel, Answer::Cancel,
               what +
                   L"\n\nReplace it with the list in this window?\n\n"
                   L"Yes replaces the file; what the other program wrote there is lost.\n"
                   L"No keeps the file as it is; the changes made in this window are lost.\n"
                   L"Cancel goes back to the window.");
}

Answer ListSession::askAfterFailedSave(const std::wstring& why) {
    return ask(Tone::Error, Choices::CancelTryContinue, Answer::Cancel,
               L"The server list could not be saved to\n" + file_.path() + L"\n\n" + why +
                   L"\n\nTry Again tries once more.\n"
                   L"Continue closes Hostdeck and keeps the list of this window in a copy, "
                   L"beside the list file or in your own folder, and says where.\n"
                   L"Cancel goes back to the window; nothing is lost.");
}

bool ListSession::closeKeepingCopy(const std::wstring& why) {
    std::wstring copy;
    const Result kept = keepCopy(kKeptAtClose, L"It could not be saved: " + why, copy);
    if (kept.ok()) {
        ask(Tone::Information, Choices::Ok, Answer::Ok,
            L"The list of this window was not saved to\n" + file_.path() +
                L"\n\nIt is kept in this copy:\n" + copy +
                L"\n\nTake over from it what you need, then delete it. Hostdeck reminds you of it "
                L"at each start while it is there.");
        return done_ = true;
    }
    const Answer answer =
        ask(Tone::Warning, Choices::YesNo, Answer::No,
            L"Hostdeck could not keep a copy of the list either:\n" + kept.reason +
                L"\n\nClose without saving? Yes discards the changes made in this window. No "
                L"goes back to the window.");
    return done_ = answer == Answer::Yes;
}

void ListSession::endSession() {
    if (done_) return;
    done_ = true;
    std::wstring why;
    if (const Result putBack = model_.putBackEntryOutForEditing(); !putBack.ok()) {
        why =
            L"A server taken out with Edit Server could not go back into the list as it "
            L"stood: " +
            putBack.reason + L"\nIts fields were:\nServer Nickname: " +
            model_.txtServerNickname.text() + L"\nServer IP: " + model_.txtServerIP.text() +
            L"\nPort: " + model_.txtServerPort.text();
    }
    if (file_.loadFailed() && model_.entryCount() == 0 && why.empty()) return;
    if (file_.holdsAsKnown(model_) && why.empty()) return;  // nothing changed: nothing written
    const ServerListFile::DiskCheck disk = file_.checkDisk();
    if (disk.state == DiskState::Changed) {
        why =
            L"The list file had been changed by another program since Hostdeck read it, so "
            L"it was left as it was.\n" +
            why;
    } else if (disk.state == DiskState::Unreadable) {
        why =
            L"The list file could not be read to see whether another program had changed "
            L"it, so it was left as it was: " +
            disk.reason + L"\n" + why;
    } else if (const Result saved = file_.save(model_, kEndSessionWaitMs); !saved.ok()) {
        why = (saved.status == Result::Status::Cancelled
                   ? L"Another program changed the list file while Hostdeck saved it, so it was "
                     L"left as it was."
               : saved.status == Result::Status::Busy
                   ? L"Another Hostdeck window was still saving the list file."
                   : L"The list file could not be saved: " + saved.reason) +
              L"\n" + why;
    }
    std::wstring copy;
    // Nobody can be told of a failure now.
    if (!why.empty()) static_cast<void>(keepCopy(kKeptAtEnd, why, copy));
}

// Beside the list; where it cannot be written, in the user folder, where the next start
// looks too.
Result ListSession::keepCopy(const std::wstring& headline, const std::wstring& why,
                             std::wstring& copy) {
    const Result beside = file_.saveCopy(file_.folder(), model_, headline, why, copy);
    if (beside.ok()) return beside;
    if (Result folder = files_.createFolder(userFolder_); !folder.ok()) return folder;
    return file_.saveCopy(userFolder_, model_, headline, why, copy);
}

}  // namespace hostdeck
