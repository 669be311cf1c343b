// The end of the Windows session (or an installer closing the program): the list is kept first.
#include "app/frmHostdeck_win.h"

#include "texts/UserTexts.h"

namespace hostdeck {

// Windows asks whether it may end the session: the list is saved, or kept in a copy, now. Where
// nothing can keep it, Windows is asked to wait, with the reason, and the user is told.
LRESULT frmHostdeck::onQueryEndSession() {
    const Result ended = session_.endSession();
    if (ended.ok()) return TRUE;
    ShutdownBlockReasonCreate(window_, texts::kListNotKept.data());  // a literal: ends in NUL
    notKeptReason_ = ended.reason;
    // Once Windows has had the answer; one box, however often Windows asks meanwhile.
    if (!tellingNotKept_) PostMessageW(window_, kTellListNotKept, 0, 0);
    tellingNotKept_ = true;
    return FALSE;
}

LRESULT frmHostdeck::tellListNotKept() {
    tell(Question::Tone::Error, notKeptReason_);
    tellingNotKept_ = false;
    return 0;
}

// The session ends: the program ends after it, as Windows and the installers that close
// programs expect. Or it goes on after all, and so does the window, its list saved at close.
LRESULT frmHostdeck::onEndSession(bool ending) {
    ShutdownBlockReasonDestroy(window_);
    EndMenu();  // the list's menu, should it be open: the program ends after the window
    if (!ending) {
        session_.resumeAfterEndSession();
        return 0;
    }
    // Ended anyway, though the list was not kept: nobody can be told now.
    static_cast<void>(session_.endSession());
    DestroyWindow(window_);
    return 0;
}

}  // namespace hostdeck
