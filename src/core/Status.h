#pragma once
// The outcome of an engine operation that can fail: success, or a failure with
// the text the user interface shows. The engine itself shows nothing.

#include <string>
#include <utility>

namespace vantrel {

class Status {
public:
    Status() = default;
    static Status Ok() { return {}; }
    static Status Error(std::string message) { return Status(std::move(message)); }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& message() const { return message_; }

private:
    explicit Status(std::string message) : failed_(true), message_(std::move(message)) {}
    bool failed_ = false;
    std::string message_;
};

}  // namespace vantrel
