#include "serverlist/ListSession.h"

namespace hostdeck {

using Answer = Question::Answer;
using Choices = Question::Choices;
using Tone = Question::Tone;
using DiskState = ServerListFile::DiskState;

ListSession::ListSession(FileStore& files, std::wstring listPath, std::wstring spareFolder,
                         ServerListModel& model, User& user)
    : files_(files),
      file_(files, std::move(listPath)),
      spareFolder_(std::move(spareFolder)),
      model_(model),
      user_(user) {
    model_.setEntryCheck(&file_);
}

Answer ListSession::ask(Tone tone, Choices choices, Answer byDefault, std::wstring text) {
    return user_.ask(Question{tone, choices, byDefault, std::move(text)});
}

void ListSession::load() {
    loaded_ = file_.load(model_);
    copiesFound_ = file_.copiesIn(file_.folder());
    for (std::wstring& copy : file_.copiesIn(spareFolder_)) copiesFound_.push_back(std::move(copy));
}

void ListSession::tellStartNotes() {
    if (!loaded_.ok()) {
        ask(Tone::Error, Choices::Ok, Answer::Ok,
            L"The server list could not be read.\n\n" + loaded_.reason +
                L"\n\nHostdeck will not overwrite it when it closes.");
    }
    if (copiesFound_.empty()) return;
    std::wstring text =
        L"Hostdeck could not save its list to the list file when Windows last ended, and kept "
        L"it here instead:\n";
    for (const std::wstring& copy : copiesFound_) text += L"\n" + copy;
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
    if (!settleEntryOutForEditing()) return false;
    // A list that could not be read is never saved over; with nothing in the window, there
    // is nothing to lose either.
    if (file_.loadFailed() && model_.entryCount() == 0) return done_ = true;
    // Set when the file changed while a save was writing: the user is asked, even should the
    // file look as before by the time it is read again.
    bool changedWhileSaving = false;
    for (;;) {
        const ServerListFile::DiskCheck disk = file_.checkDisk();
        if (changedWhileSaving || disk.state == DiskState::Changed ||
            disk.state == DiskState::Unreadable) {
            const Answer answer = askToReplace(disk);
            if (answer != Answer::Yes) return done_ = answer == Answer::No;
            file_.mayReplace(disk);
        }
        const Result saved = file_.save(model_);
        if (saved.ok()) return done_ = true;
        changedWhileSaving = saved.status == Result::Status::Cancelled;
        if (changedWhileSaving) continue;
        const Answer answer = askAfterFailedSave(saved);
        if (answer != Answer::TryAgain) return done_ = answer == Answer::Continue;
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

Answer ListSession::askAfterFailedSave(const Result& saved) {
    return ask(Tone::Error, Choices::CancelTryContinue, Answer::Cancel,
               L"The server list could not be saved to\n" + file_.path() + L"\n\n" + saved.reason +
                   L"\n\nTry Again saves again, for example once the file is no longer "
                   L"read-only or in use.\n"
                   L"Continue closes Hostdeck without saving; the changes made in this window "
                   L"are lost.\n"
                   L"Cancel goes back to the window; nothing is lost.");
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
    } else if (const Result saved = file_.save(model_); !saved.ok()) {
        why = (saved.status == Result::Status::Cancelled
                   ? L"Another program changed the list file while Hostdeck saved it, so it was "
                     L"left as it was."
                   : L"The list file could not be saved: " + saved.reason) +
              L"\n" + why;
    }
    if (!why.empty()) keepCopy(why);
}

void ListSession::keepCopy(const std::wstring& why) {
    const std::wstring note =
        L"Hostdeck kept this copy of its server list when Windows ended.\nIt belongs to " +
        file_.path() + L"\n" + why;
    std::wstring copy;
    if (file_.saveCopy(file_.folder(), model_, note, copy).ok()) return;
    // Beside the list it cannot be written: in the user's own folder, where the next start
    // looks too. Nobody can be told of a failure now.
    if (files_.createFolder(spareFolder_).ok()) {
        static_cast<void>(file_.saveCopy(spareFolder_, model_, note, copy));
    }
}

}  // namespace hostdeck
