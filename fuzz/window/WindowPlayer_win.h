#pragma once
// Plays one input against the real program, as a user and other programs would, and checks
// after every step what the user sees and what is on disk.

#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "WindowInput.h"

namespace hostdeck::windowfuzz {

struct Failure {
    std::string kind;    // one word: a shrunk input must fail the same way
    std::string detail;  // what was seen
};

// Where the time of a run goes, in milliseconds.
struct Timings {
    double start = 0, input = 0, settle = 0, checks = 0, end = 0;
};

struct Outcome {
    std::optional<Failure> failure;
    int actions = 0;             // played, up to and including the one that failed
    std::set<std::string> seen;  // what the run showed: boxes and states, to tell new inputs
};

struct Setup {
    std::wstring program;             // hostdeck.exe to copy and start
    std::wstring standIn;             // the stand-in game
    std::vector<std::wstring> texts;  // typed and pasted: fixed ones and lines of the corpora
    bool trace = false;               // prints each step and what it saw
};

class Player {
  public:
    explicit Player(Setup setup);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    Outcome play(const Input& input);
    const Timings& timings() const { return timings_; }
    // Waits for programs of earlier runs that were still ending; a failure of theirs.
    std::optional<Failure> finishEnding(DWORD timeoutMs);

  private:
    struct Run;
    Setup setup_;
    std::wstring root_;  // the scratch folder: program folders, the game, files to import
    int nextSlot_ = 0;
    Timings timings_;
    std::vector<HANDLE> ending_;  // programs whose window has gone, still ending
};

}  // namespace hostdeck::windowfuzz
