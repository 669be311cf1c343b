// All the window says and asks, as message boxes, and the wait that closes its own box once
// what it waits for is done.
#include "app/frmHostdeck_win.h"

#include "platform/ScopeGuard.h"
#include "texts/UserTexts.h"

namespace hostdeck {

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

namespace {

constexpr const wchar_t* kMessageCaption = texts::kCaption.data();  // a literal: ends in NUL
constexpr UINT kWaitPollMs = 250;
constexpr int kWaitOver = 0x100;  // a message box's result that no button gives

struct MessageBoxSearch {
    HWND owner;
    const std::wstring& text;
    HWND box = nullptr;
};

// The message box that the window owns and that says the text: another may be open above it.
BOOL CALLBACK findMessageBox(HWND window, LPARAM found) {
    auto& search = *reinterpret_cast<MessageBoxSearch*>(found);
    constexpr int kMessageTextId = 0xFFFF;  // the box's text, in Windows and in Wine
    wchar_t name[8] = {};
    GetClassNameW(window, name, 8);
    if (GetWindow(window, GW_OWNER) != search.owner || std::wstring_view(name) != L"#32770" ||
        windowText(GetDlgItem(window, kMessageTextId)) != search.text)
        return TRUE;
    search.box = window;
    return FALSE;
}

}  // namespace

void frmHostdeck::tell(Question::Tone tone, const std::wstring& text) {
    ask(Question{tone, Question::Choices::Ok, Question::Answer::Ok, text});
}

Question::Answer frmHostdeck::ask(const Question& question) {
    using Answer = Question::Answer;
    // Each choice's buttons with their ids, in the order the message box shows them.
    static constexpr struct {
        UINT style;
        std::pair<int, Answer> buttons[3];
    } kChoices[] = {
        // In the order of Question::Choices.
        {MB_OK, {{IDOK, Answer::Ok}}},
        {MB_YESNO, {{IDYES, Answer::Yes}, {IDNO, Answer::No}}},
        {MB_YESNOCANCEL, {{IDYES, Answer::Yes}, {IDNO, Answer::No}, {IDCANCEL, Answer::Cancel}}},
        {MB_CANCELTRYCONTINUE,
         {{IDCANCEL, Answer::Cancel},
          {IDTRYAGAIN, Answer::TryAgain},
          {IDCONTINUE, Answer::Continue}}},
    };
    static constexpr UINT kTones[] = {MB_ICONINFORMATION, MB_ICONWARNING, MB_ICONERROR};
    const auto& choice = kChoices[static_cast<int>(question.choices)];
    UINT style = choice.style | kTones[static_cast<int>(question.tone)];
    for (UINT i = 0; i < 3; ++i) {
        if (choice.buttons[i].first && choice.buttons[i].second == question.byDefault)
            style |= i * MB_DEFBUTTON2;  // MB_DEFBUTTON1, 2 or 3
    }
    const int chosen =
        MessageBoxW(window_, texts::fitted(question.text).c_str(), kMessageCaption, style);
    for (const auto& [id, answer] : choice.buttons) {
        if (id && id == chosen) return answer;
    }
    return Answer::Cancel;  // the box could not be shown
}

// A message box that the window's own message loop keeps going: the window answers, and every
// so often the wait is asked whether it is over, which closes the box.
bool frmHostdeck::waitUntil(const std::wstring& words, const std::function<bool()>& done) {
    const std::wstring text = texts::fitted(words);
    waitText_ = &text;  // the wait's own box is the one that says it
    waitDone_ = &done;
    SetTimer(window_, kWaitTimer, kWaitPollMs, nullptr);
    const ScopeGuard stopAsking([this] {
        if (window_) KillTimer(window_, kWaitTimer);
        waitDone_ = nullptr;
    });
    for (;;) {
        const int chosen = MessageBoxW(window_, text.c_str(), kMessageCaption,
                                       MB_RETRYCANCEL | MB_ICONINFORMATION);
        if (chosen == kWaitOver) return true;
        if (chosen != IDRETRY) return false;
        if (done()) return true;
    }
}

LRESULT frmHostdeck::onWaitTimer() {
    if (!waitDone_ || !(*waitDone_)()) return 0;
    // The wait's message box, which this window owns; asked again should it not be there yet.
    MessageBoxSearch search{window_, *waitText_};
    EnumThreadWindows(GetCurrentThreadId(), findMessageBox, reinterpret_cast<LPARAM>(&search));
    if (!search.box) return 0;
    waitDone_ = nullptr;  // over: not asked again before the box has closed
    EndDialog(search.box, kWaitOver);
    return 0;
}

}  // namespace hostdeck
