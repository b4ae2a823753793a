#pragma once
// Result<T>: what a core function hands back to the windows and the command line — its value, or the
// German message that says why there is none. Front ends show the message as it stands. The store
// throws StoreError inside the core; each public core function turns that into a Result.

#include <string>
#include <utility>
#include <variant>

namespace kalvora {

// The German message of a failure.
struct Failure {
    std::string message;
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit on purpose
    Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}  // NOLINT

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // The value; only when ok().
    const T& value() const& { return std::get<0>(state_); }
    T& value() & { return std::get<0>(state_); }
    T value() && { return std::get<0>(std::move(state_)); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }

    // The message; empty when ok().
    const std::string& message() const {
        static const std::string none;
        return ok() ? none : std::get<1>(state_).message;
    }

private:
    std::variant<T, Failure> state_;
};

// A step that gives no value: done, or the message why not.
struct Done {};
using Outcome = Result<Done>;

}  // namespace kalvora
