#pragma once
// The outcome of an engine operation that makes a value: the value, or the
// failure as a Status carrying the text the user interface shows. With
// Status it is the engine's one way of reporting an error.

#include <optional>
#include <string>
#include <utility>

#include "core/Status.h"

namespace vantrel {

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    // A failure; a Status that is ok is taken as a failure without a reason.
    Result(Status failure) : status_(failure.ok() ? Status::Error(std::string()) : std::move(failure)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    // Ok with a value, else the failure.
    const Status& status() const { return status_; }
    const std::string& message() const { return status_.message(); }

    // The value; only when ok().
    T& operator*() & { return *value_; }
    const T& operator*() const& { return *value_; }
    T&& operator*() && { return *std::move(value_); }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // The value, or fallback on a failure.
    T ValueOr(T fallback) const& { return value_ ? *value_ : std::move(fallback); }

private:
    std::optional<T> value_;
    Status status_;
};

}  // namespace vantrel
