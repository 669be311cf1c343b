#pragma once

#include <utility>

namespace hostdeck {

// The second half of a paired call that has no handle to own, run when the scope ends however
// it ends, so that an early return or an exception cannot leave the first half standing.
// Made right after the first half:
//     list.setObserver(nullptr);
//     const ScopeGuard observeAgain([&] { list.setObserver(this); });
template <typename Undo>
class [[nodiscard]] ScopeGuard {
  public:
    explicit ScopeGuard(Undo undo) : undo_(std::move(undo)) {}
    ~ScopeGuard() { undo_(); }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

  private:
    Undo undo_;
};

}  // namespace hostdeck
