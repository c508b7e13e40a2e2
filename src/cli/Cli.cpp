#include "cli/Cli.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "core/FileIO.h"

namespace vantrel::cli {

int Fail(int code, std::string_view message) {
    std::cerr << "vantrel-cli: " << message << '\n';
    return code;
}

int RunCommand(int (*command)(std::span<const std::string>), std::span<const std::string> args) {
    try {
        return command(args);
    } catch (const CommandFailure& failure) {
        return Fail(failure.code(), failure.what());
    }
}

void CheckOutput(const std::filesystem::path& out, std::span<const std::filesystem::path> inputs) {
    for (const std::filesystem::path& input : inputs) {
        if (IsSameFile(out, input))
            throw CommandFailure(kExitUsage, out.string() + ": is an input of the command; nothing was written");
    }
    if (const Status allowed = CheckWriteTarget(out); !allowed) throw CommandFailure(kExitBadOutput, allowed.message());
}

Arguments::Arguments(std::span<const std::string> args, std::vector<std::string> valueFlags,
                     std::vector<std::string> switches) {
    auto contains = [](const std::vector<std::string>& list, const std::string& s) {
        return std::find(list.begin(), list.end(), s) != list.end();
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 2 && a.starts_with("--")) {
            if (contains(valueFlags, a)) {
                if (i + 1 >= args.size()) throw CommandFailure(kExitUsage, a + " needs a value");
                flags_.emplace_back(a, args[++i]);
            } else if (contains(switches, a)) {
                flags_.emplace_back(a, std::string());
            } else {
                throw CommandFailure(kExitUsage, "unknown option " + a);
            }
        } else {
            positionals_.push_back(a);
        }
    }
}

bool Arguments::Has(std::string_view flag) const {
    return std::any_of(flags_.begin(), flags_.end(), [&](const auto& f) { return f.first == flag; });
}

std::optional<std::string> Arguments::Value(std::string_view flag) const {
    for (auto it = flags_.rbegin(); it != flags_.rend(); ++it)
        if (it->first == flag) return it->second;
    return std::nullopt;
}

std::optional<long> ParseInteger(std::string_view text, long low, long high) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<double> ParseNumber(const std::string& text, double low, double high) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(value >= low && value <= high)) return std::nullopt;
    return value;
}

void JsonWriter::Key(std::string_view key) {
    if (!first_.back()) out_ << ',';
    first_.back() = false;
    if (!key.empty()) {
        String(key);
        out_ << ':';
    }
}

void JsonWriter::String(std::string_view text) {
    out_ << '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out_ << '\\' << c;
        } else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out_ << buf;
        } else {
            out_ << c;
        }
    }
    out_ << '"';
}

JsonWriter& JsonWriter::BeginObject(std::string_view key) {
    Key(key);
    out_ << '{';
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    first_.pop_back();
    out_ << '}';
    return *this;
}

JsonWriter& JsonWriter::BeginArray(std::string_view key) {
    Key(key);
    out_ << '[';
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    first_.pop_back();
    out_ << ']';
    return *this;
}

JsonWriter& JsonWriter::Field(std::string_view key, long long value) {
    Key(key);
    out_ << value;
    return *this;
}

JsonWriter& JsonWriter::Field(std::string_view key, bool value) {
    Key(key);
    out_ << (value ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::Field(std::string_view key, std::string_view value) {
    Key(key);
    String(value);
    return *this;
}

JsonWriter& JsonWriter::Null(std::string_view key) {
    Key(key);
    out_ << "null";
    return *this;
}

JsonWriter& JsonWriter::Value(long long value) {
    Key({});
    out_ << value;
    return *this;
}

void EnsureFolder(const std::filesystem::path& dir) {
    std::error_code ec;
    if (std::filesystem::is_directory(dir, ec)) return;
    std::filesystem::create_directories(dir, ec);
    if (ec) throw CommandFailure(kExitBadOutput, dir.string() + ": " + ec.message());
}

std::string NumberedName(std::string_view prefix, std::size_t number, std::string_view extension) {
    char digits[24];
    std::snprintf(digits, sizeof digits, "%03zu", number);
    return std::string(prefix) + "-" + digits + "." + std::string(extension);
}

void CheckNumberedOutputs(const std::filesystem::path& folder, std::string_view prefix, std::size_t count,
                          std::string_view extension, const std::filesystem::path& input) {
    for (std::size_t number = 1; number <= count; ++number)
        CheckOutput(folder / NumberedName(prefix, number, extension), std::span(&input, 1));
}

}  // namespace vantrel::cli
