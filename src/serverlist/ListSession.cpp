#include "serverlist/ListSession.h"

#include <algorithm>
#include <new>
#include <unordered_set>
#include <utility>

#include "platform/ScopeGuard.h"
#include "serverlist/AddressPort.h"
#include "serverlist/ServerExport.h"
#include "texts/UserTexts.h"

namespace hostdeck {

using Answer = Question::Answer;
using Choices = Question::Choices;
using Tone = Question::Tone;
using Kind = Question::Kind;
using DiskState = ServerListFile::DiskState;

namespace {

// The start note names so many copies, and a question so many servers, and says how many more
// there are; a nickname is cut to so many characters.
constexpr std::size_t kCopiesNamed = 5, kNicknameChars = 32;

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

Answer ListSession::ask(Kind kind, Tone tone, Choices choices, Answer byDefault,
                        std::wstring text) {
    asking_ = true;
    const ScopeGuard answered([this] { asking_ = false; });
    return user_.ask(Question{tone, choices, byDefault, std::move(text), kind});
}

void ListSession::load() {
    loaded_ = file_.load(model_);
    // The user folder may hold copies of other installations' lists too.
    std::vector<std::wstring> beside = file_.copiesIn(file_.folder()),
                              spare = file_.copiesIn(userFolder_, true);
    // Newest first, from each folder in turn: where there are more than the note names, the
    // ones it names hold the latest lists.
    copiesFound_.clear();
    while (!beside.empty() || !spare.empty()) {
        for (std::vector<std::wstring>* folder : {&beside, &spare}) {
            if (folder->empty()) continue;
            copiesFound_.push_back(std::move(folder->back()));
            folder->pop_back();
        }
    }
}

void ListSession::tellStartNotes() {
    if (!loaded_.ok())
        ask(Kind::ListUnread, Tone::Error, Choices::Ok, Answer::Ok,
            say(texts::kListUnread, loaded_.reason));
    if (copiesFound_.empty() || done_) return;  // done_: Windows ended meanwhile
    std::wstring copies;
    for (std::size_t i = 0; i < copiesFound_.size() && i < kCopiesNamed; ++i)
        copies += L"\n" + copiesFound_[i];
    if (copiesFound_.size() > kCopiesNamed)
        copies += L"\n" + say(texts::kMoreCopies, texts::number(copiesFound_.size() - kCopiesNamed),
                              userFolder_);
    ask(Kind::CopiesKept, Tone::Information, Choices::Ok, Answer::Ok,
        say(texts::kCopiesKept, copies));
}

bool ListSession::settleEntryOutForEditing() {
    const Result putBack = model_.putBackEntryOutForEditing();
    if (putBack.ok()) return true;
    const Answer answer = ask(Kind::EntryCannotGoBack, Tone::Warning, Choices::YesNo, Answer::No,
                              say(texts::kEntryOutCannotGoBack, putBack.reason));
    // Windows may have ended the session meanwhile: then nothing changes any more.
    if (answer != Answer::Yes || done_) return false;
    model_.discardEntryOutForEditing();
    return true;
}

bool ListSession::takeSelection(ListIndex selected) {
    // Made current before an entry out for editing goes back: should it go back above, the
    // selected entry moves down with the current index.
    const bool onEntry = selected >= 0 && selected < model_.entryCount();
    if (onEntry) model_.lstServerNick.setCurrentIndex(selected);
    if (!settleEntryOutForEditing()) {
        // The fields keep the entry being edited; the list shows that no entry is current, and
        // none is for Edit either.
        for (TextList* list : {&model_.lstServerNick, &model_.lstServerIP, &model_.lstServerPort})
            list->setCurrentIndex(kNoItem);
        return false;
    }
    return onEntry;
}

Result ListSession::add() {
    // An entry out for editing is not in the list: its own old place does not count.
    const bool wasOut = model_.hasEntryOutForEditing();
    const ListIndex same =
        model_.entrySameServerAs(model_.txtServerIP.text(), model_.txtServerPort.text());
    if (same != kNoItem) {
        const std::wstring address =
            addressPortText(model_.lstServerIP.item(same), model_.lstServerPort.item(same));
        const Answer answer =
            ask(Kind::AlreadyInList, Tone::Warning, Choices::YesNo, Answer::No,
                texts::fill(texts::kAlreadyInList,
                            {texts::number(same + 1), model_.lstServerNick.item(same), address}));
        // Windows may have ended the session meanwhile (the list kept then is the last), or tried
        // to and put the entry out for editing back: then the fields are not added.
        if (answer != Answer::Yes || done_ || model_.hasEntryOutForEditing() != wasOut)
            return Result::cancelled();
    }
    return model_.add();
}

Result ListSession::importServers(const ServerLines& lines) {
    if (done_ || asking_) return Result::cancelled();
    std::optional<ImportReady> ready;
    bool added = false, outOfMemory = lines.outOfMemory;
    try {
        if (!outOfMemory) ready = prepareImport(lines);
        // All or nothing: the model makes room for every entry before it takes the first.
        added = ready && !ready->entries.empty();
        if (ready) model_.appendImported(std::move(ready->entries));
    } catch (const std::bad_alloc&) {  // nothing of the list has changed
        outOfMemory = true;
    }
    if (outOfMemory) {
        ask(Kind::Imported, Tone::Error, Choices::Ok, Answer::Ok,
            std::wstring(texts::kImportNoMemory));
        return Result::cancelled();
    }
    if (!ready) return Result::cancelled();
    try {
        if (added) {
            // In each list, as a click makes it: Edit and Delete take the entry selected.
            for (TextList* list :
                 {&model_.lstServerNick, &model_.lstServerIP, &model_.lstServerPort})
                list->setCurrentIndex(model_.entryCount() - 1);
            // The fields show the selected entry, unless they hold what the user is typing.
            if (!model_.txtServerNickname.enabled() && !model_.hasEntryOutForEditing())
                model_.select();
        }
        ask(Kind::Imported, added ? Tone::Information : Tone::Warning, Choices::Ok, Answer::Ok,
            std::move(ready->summary));
    } catch (const std::bad_alloc&) {  // the list holds the import whole: only the words are lost
    }
    return added ? Result::success() : Result::cancelled();
}

std::optional<ListSession::ImportReady> ListSession::prepareImport(const ServerLines& lines) {
    const auto tell = [&](std::wstring text) {
        ask(Kind::Imported, Tone::Warning, Choices::Ok, Answer::Ok, std::move(text));
        return std::nullopt;
    };
    if (lines.tooMany()) {
        return tell(texts::fill(texts::kImportFarTooMany,
                                {texts::number(lines.serversRead), texts::number(kMostEntries)}));
    }
    const ImportPlan plan = planImport(lines, model_, &file_);
    // The entry out for editing goes back into the list.
    const ListIndex inList = model_.entryCount() + (model_.hasEntryOutForEditing() ? 1 : 0);
    const auto tooMany = [&](std::size_t adding) {
        const ListIndex total = inList + static_cast<ListIndex>(adding);
        if (total <= kMostEntries) return false;
        tell(texts::fill(texts::kImportTooMany,
                         {texts::number(total), texts::number(kMostEntries),
                          texts::number(kMostEntries - std::min(kMostEntries, inList))}));
        return true;
    };
    if (tooMany(plan.fresh.size())) return std::nullopt;  // before anything is asked
    bool withRepeated = false;
    if (!plan.repeated.empty()) {
        const std::uint64_t changes = model_.changes();
        const Answer answer = ask(
            Kind::ImportRepeated, Tone::Warning, Choices::YesNoCancel, Answer::Cancel,
            texts::fill(texts::kImportRepeated,
                        {texts::number(plan.repeated.size()), serversNamed(lines, plan.repeated)}));
        // Windows may have ended the session meanwhile: the list it kept is the last.
        if (answer == Answer::Cancel || done_) return std::nullopt;
        if (listChangedSince(changes))  // not by the user: the end of Windows, say
            return tell(std::wstring(texts::kImportListChanged));
        withRepeated = answer == Answer::Yes;
    }
    const std::vector<const ImportedServer*> adding = plan.adding(withRepeated);
    if (tooMany(adding.size())) return std::nullopt;
    ImportReady ready;
    ready.entries.reserve(adding.size());
    for (const ImportedServer* server : adding) ready.entries.push_back(*server);
    ready.summary = importSummary(lines, plan, withRepeated);
    return ready;
}

Result ListSession::exportServers(const std::wstring& path) {
    if (done_) return Result::cancelled();
    // Not written: the user may choose another place.
    const auto elsewhere = [&](Question::Kind kind, const std::wstring& text) {
        return ask(kind, Tone::Warning, Choices::YesNo, Answer::No, text) == Answer::Yes
                   ? Result::failed(text)
                   : Result::cancelled();
    };
    if (files_.sameFile(path, file_.path()))
        return elsewhere(Kind::ExportRefused, texts::fill(texts::kExportIsListFile, {path}));
    const ServerExport out = hostdeck::exportServers(model_);
    if (const Result written =
            files_.replaceWith(path, [&](FileSink& sink) { return sink.write(out.bytes); });
        !written.ok())
        return elsewhere(Kind::ExportFailed,
                         texts::fill(texts::kExportFailed, {path, written.reason}));
    ask(Kind::Exported, Tone::Information, Choices::Ok, Answer::Ok, exportSummary(out, path));
    return Result::success();
}

bool ListSession::mayClose() {
    if (done_) return true;
    if (asking_) return false;  // the question that is open decides
    if (!settleEntryOutForEditing()) return done_;
    if (file_.loadFailed()) return closeAfterFailedLoad();
    // Set when the file changed while a save was writing: the user is asked, even should the
    // file look as before by the time it is read again.
    bool changedWhileSaving = false;
    for (;;) {
        // Nothing changed (or every change was undone, or the end of Windows saved the list
        // while the user was asked): the file keeps every byte.
        if (file_.holdsAsKnown(model_)) return done_ = true;
        const ServerListFile::DiskCheck disk = file_.checkDisk();
        if (changedWhileSaving || disk.state == DiskState::Changed ||
            disk.state == DiskState::Unreadable) {
            const Answer answer = askToReplace(disk);
            if (done_) return true;  // Windows ended the session meanwhile
            if (answer != Answer::Yes) return done_ = answer == Answer::No;
            if (file_.holdsAsKnown(model_)) return done_ = true;  // saved meanwhile
            file_.mayReplace(disk);
        }
        const Result saved = saveWaiting(file_, model_);
        if (saved.ok() || done_) return done_ = true;
        if (saved.status == Result::Status::Busy) return false;  // the user went back
        changedWhileSaving = saved.status == Result::Status::Cancelled;
        if (changedWhileSaving) continue;
        const Answer answer = askAfterFailedSave(saved.reason);
        if (done_) return true;
        if (answer == Answer::Continue)  // unless the end of Windows saved it meanwhile
            return file_.holdsAsKnown(model_) ? (done_ = true) : closeKeepingCopy(saved.reason);
        if (answer != Answer::TryAgain) return false;
    }
}

Result ListSession::saveWaiting(ServerListFile& file, const ServerListModel& list) {
    Result saved = file.save(list);
    if (saved.status != Result::Status::Busy) return saved;
    asking_ = true;
    const ScopeGuard answered([this] { asking_ = false; });
    user_.waitUntil(texts::fill(texts::kWaitingForOtherSaver, {file.path()}), [&] {
        // The end of Windows, asked and called off meanwhile, may have saved the list already.
        if (&file == &file_ && file_.holdsAsKnown(list)) saved = Result::success();
        if (!saved.ok()) saved = file.save(list);
        return saved.status != Result::Status::Busy;
    });
    return saved;
}

// The file could not be read at start, so the window's list holds only what was added since.
// It is read again now: where it can be, the user may add those servers to the file's own.
bool ListSession::closeAfterFailedLoad() {
    if (model_.entryCount() == 0) return done_ = true;  // nothing of the window's to lose
    std::optional<std::vector<ListIndex>> agreed;       // the repeats named when the user said Yes
    for (;;) {
        ServerListFile again(files_, file_.path());
        ServerListModel onDisk;
        Result result = again.load(onDisk);
        // The window's servers that the file has already, by Add's rule: never added twice.
        std::vector<ListIndex> repeats;
        if (result.ok()) {
            std::unordered_set<std::wstring> servers;
            for (ListIndex i = 0; i < onDisk.entryCount(); ++i)
                servers.insert(serverKey(onDisk.lstServerIP.item(i), onDisk.lstServerPort.item(i)));
            for (ListIndex i = 0; i < model_.entryCount(); ++i) {
                const std::wstring key =
                    serverKey(model_.lstServerIP.item(i), model_.lstServerPort.item(i));
                if (key.front() != L'\n' && servers.count(key))  // an empty address names none
                    repeats.push_back(i);
            }
        }
        if (result.ok() && agreed != repeats) {  // asked again should the file have changed
            const Answer answer = ask(again.found() ? Kind::ReadableNow : Kind::GoneNow,
                                      Tone::Warning, Choices::YesNoCancel, Answer::Cancel,
                                      say(again.found() ? texts::kReadableNow : texts::kGoneNow,
                                          texts::number(model_.entryCount())) +
                                          repeatsLeftOut(repeats));
            if (done_) return true;
            if (answer != Answer::Yes) return done_ = answer == Answer::No;
            agreed = repeats;
        }
        if (result.ok()) {
            for (ListIndex i = 0, r = 0; i < model_.entryCount(); ++i) {
                const bool repeat = r < static_cast<ListIndex>(repeats.size()) &&
                                    repeats[static_cast<std::size_t>(r)] == i;
                r += repeat ? 1 : 0;
                if (!repeat)
                    onDisk.appendEntry(model_.lstServerNick.item(i), model_.lstServerIP.item(i),
                                       model_.lstServerPort.item(i));
            }
            result = saveWaiting(again, onDisk);
            if (result.ok() || done_) return done_ = true;
            if (result.status == Result::Status::Busy) return false;
        }
        const std::wstring why = result.status == Result::Status::Cancelled
                                     ? std::wstring(texts::kChangedWhileSaving)
                                     : result.reason;
        const Answer answer = askAfterFailedSave(why);
        if (done_) return true;
        if (answer == Answer::Continue) return closeKeepingCopy(why);
        if (answer != Answer::TryAgain) return false;
    }
}

std::wstring ListSession::repeatsLeftOut(const std::vector<ListIndex>& repeats) const {
    if (repeats.empty()) return {};
    std::wstring named;
    for (std::size_t i = 0; i < repeats.size() && i < kCopiesNamed; ++i) {
        const ListIndex at = repeats[i];
        named += texts::fill(
            texts::kServerNamed,
            {texts::shortened(model_.lstServerNick.item(at), kNicknameChars),
             addressPortText(model_.lstServerIP.item(at), model_.lstServerPort.item(at))});
    }
    if (repeats.size() > kCopiesNamed)
        named +=
            texts::fill(texts::kAndMoreServers, {texts::number(repeats.size() - kCopiesNamed)});
    return texts::fill(texts::kRepeatsLeftOut, {texts::number(repeats.size()), named});
}

Answer ListSession::askToReplace(const ServerListFile::DiskCheck& disk) {
    const std::wstring what = disk.state != DiskState::Unreadable
                                  ? say(texts::kChangedOnDisk)
                                  : say(texts::kUnreadableOnDisk, disk.reason);
    return ask(disk.state != DiskState::Unreadable ? Kind::ChangedOnDisk : Kind::UnreadableOnDisk,
               Tone::Warning, Choices::YesNoCancel, Answer::Cancel,
               what + std::wstring(texts::kReplaceIt));
}

Answer ListSession::askAfterFailedSave(const std::wstring& why) {
    return ask(Kind::SaveFailed, Tone::Error, Choices::CancelTryContinue, Answer::Cancel,
               say(texts::kSaveFailed, why));
}

bool ListSession::closeKeepingCopy(const std::wstring& why) {
    std::wstring copy;
    const Result kept = keepCopy(texts::kKeptAtClose, say(texts::kCopyBecauseNotSaved, why), copy);
    if (kept.ok()) {
        ask(Kind::KeptInCopy, Tone::Information, Choices::Ok, Answer::Ok,
            say(texts::kKeptInCopy, L"", copy));
        return done_ = true;
    }
    const Answer answer = ask(Kind::NoCopyEither, Tone::Warning, Choices::YesNo, Answer::No,
                              say(texts::kNoCopyEither, kept.reason));
    // Windows may have ended the session meanwhile: then it stays over, whatever the answer.
    return done_ = done_ || answer == Answer::Yes;
}

void ListSession::resumeAfterEndSession() {
    if (!endedBySession_) return;
    done_ = endedBySession_ = false;
    goOnAfterEnd();
}

void ListSession::goOnAfterEnd() {
    if (putBackAtEnd_ == kNoItem) return;
    model_.takeOutAgain(std::exchange(putBackAtEnd_, kNoItem));
    // Back as it was before the end put it back: the list is as it was then.
    sameListAs_ = {sameListAs_.second == changesAtEnd_ ? sameListAs_.first : changesAtEnd_,
                   model_.changes()};
}

bool ListSession::listChangedSince(std::uint64_t changes) const {
    const std::uint64_t now = model_.changes();
    return now != changes && !(sameListAs_.first == changes && sameListAs_.second == now);
}

Result ListSession::endSession() {
    if (done_) return Result::success();
    done_ = endedBySession_ = true;
    std::wstring why;
    const bool wasOut = model_.hasEntryOutForEditing();
    const ListIndex place = model_.placeOfEntryOut();
    changesAtEnd_ = model_.changes();
    if (const Result putBack = model_.putBackEntryOutForEditing(); putBack.ok()) {
        if (wasOut) putBackAtEnd_ = place;
    } else {
        why = texts::fill(texts::kCopyBecauseEntryOut,
                          {file_.path(), putBack.reason, model_.txtServerNickname.text(),
                           model_.txtServerIP.text(), model_.txtServerPort.text()});
    }
    if (file_.loadFailed() && model_.entryCount() == 0 && why.empty()) return Result::success();
    if (file_.holdsAsKnown(model_) && why.empty())
        return Result::success();  // nothing changed: nothing written
    const ServerListFile::DiskCheck disk = file_.checkDisk();
    std::wstring notSaved;
    if (disk.state == DiskState::Changed) {
        notSaved = texts::kCopyBecauseChanged;
    } else if (disk.state == DiskState::Unreadable) {
        notSaved = say(texts::kCopyBecauseUnreadable, disk.reason);
    } else if (const Result saved = file_.save(model_, kEndSessionWaitMs); !saved.ok()) {
        notSaved = saved.status == Result::Status::Cancelled
                       ? std::wstring(texts::kCopyBecauseChangedWhileSaving)
                   : saved.status == Result::Status::Busy
                       ? std::wstring(texts::kCopyBecauseOtherSaver)
                       : say(texts::kCopyBecauseSaveFailed, saved.reason);
    }
    if (!notSaved.empty()) why = notSaved + L"\n" + why;
    std::wstring copy;
    if (why.empty()) return Result::success();
    if (Result kept = keepCopy(texts::kKeptAtEnd, why, copy); !kept.ok()) {
        // Nothing holds the list but the window: it stays, and the user is told.
        done_ = endedBySession_ = false;
        goOnAfterEnd();
        while (why.ends_with(L'\n')) why.pop_back();
        return Result::failed(say(texts::kNotKeptAtEnd, why, kept.reason));
    }
    return Result::success();
}

// Beside the list; where it cannot be written, in the user folder, where the next start
// looks too.
Result ListSession::keepCopy(std::wstring_view headline, const std::wstring& why,
                             std::wstring& copy) {
    const Result beside = file_.saveCopy(file_.folder(), model_, headline, why, copy);
    if (beside.ok()) return beside;
    Result spare = files_.createFolder(userFolder_);
    if (spare.ok()) spare = file_.saveCopy(userFolder_, model_, headline, why, copy);
    if (spare.ok()) return spare;
    // Why each place failed: they may fail for reasons of their own.
    return {spare.status,
            texts::fill(texts::kNoCopyAnywhere,
                        {file_.folder(), beside.reason, userFolder_, spare.reason}),
            spare.code};
}

}  // namespace hostdeck
