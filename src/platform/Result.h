#pragma once

#include <string>

namespace hostdeck {

// What an operation that can fail came to: the one way every such operation reports. Whenever
// it did not succeed, `reason` says why in words a person can read (NotFound and Cancelled may
// leave it empty: nothing to report). Never dropped unread: a caller that has nobody to tell
// says so with `static_cast<void>(...)` and a comment.
struct [[nodiscard]] Result {
    enum class Status {
        Ok,
        NotFound,   // what it needs is not there (a file, a registry key, an install path)
        Cancelled,  // it gave up without harm, or had nothing to do
        Busy,       // someone else is at it (another Hostdeck saving the same file): try later
        Failed,
    };
    Status status = Status::Ok;
    std::wstring reason;
    // The system's own error code (GetLastError, errno) where the failure came from the system;
    // 0 otherwise. The tests compare it instead of the words of the reason.
    unsigned long code = 0;

    bool ok() const { return status == Status::Ok; }
    static Result success() { return {}; }
    static Result notFound(std::wstring why = {}, unsigned long code = 0) {
        return {Status::NotFound, std::move(why), code};
    }
    static Result cancelled() { return {Status::Cancelled, {}}; }
    static Result busy(std::wstring why) { return {Status::Busy, std::move(why)}; }
    static Result failed(std::wstring why, unsigned long code = 0) {
        return {Status::Failed, std::move(why), code};
    }
};

}  // namespace hostdeck
