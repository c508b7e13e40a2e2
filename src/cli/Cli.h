#pragma once
// Shared pieces of the command-line tool: exit codes, argument handling and
// a small JSON writer.

#include <concepts>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitUsage = 1,      // wrong or missing arguments
    kExitBadInput = 2,   // input missing, unreadable or invalid
    kExitBadOutput = 3,  // output that could not be written
};

// Prints "vantrel-cli: message" on standard error and returns code.
int Fail(int code, std::string_view message);

// Ends a command from one of the steps it calls: the step throws it, and the
// tool's one boundary (RunCommand) prints its message through Fail and exits
// with its code. A command's own body returns Fail(...) instead.
class CommandFailure : public std::runtime_error {
public:
    CommandFailure(ExitCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
    ExitCode code() const { return code_; }

private:
    ExitCode code_;
};

// Runs command on args, turning a CommandFailure into its exit code.
int RunCommand(int (*command)(std::span<const std::string>), std::span<const std::string> args);

// Asked before a command does its work: an output that is one of the
// command's inputs is refused (kExitUsage), and so is one that is not a file
// that may be written (kExitBadOutput), by a CommandFailure; nothing has
// been touched then.
void CheckOutput(const std::filesystem::path& out, std::span<const std::filesystem::path> inputs);

// The arguments of one command: flags (--name, --name VALUE) and positionals.
class Arguments {
public:
    // valueFlags lists the flags that take a value, switches those that do
    // not; an unknown flag, or a value flag without its value, ends the
    // command (kExitUsage).
    Arguments(std::span<const std::string> args, std::vector<std::string> valueFlags,
              std::vector<std::string> switches);

    bool Has(std::string_view flag) const;
    std::optional<std::string> Value(std::string_view flag) const;
    const std::vector<std::string>& Positionals() const { return positionals_; }

private:
    std::vector<std::pair<std::string, std::string>> flags_;
    std::vector<std::string> positionals_;
};

// Parses a whole decimal number in [low, high].
std::optional<long> ParseInteger(std::string_view text, long low, long high);
// Parses a whole number with or without fraction in [low, high].
std::optional<double> ParseNumber(const std::string& text, double low, double high);

// Writes one JSON value at a time; commas and nesting are handled here.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}
    JsonWriter& BeginObject(std::string_view key = {});
    JsonWriter& EndObject();
    JsonWriter& BeginArray(std::string_view key = {});
    JsonWriter& EndArray();
    JsonWriter& Field(std::string_view key, long long value);
    JsonWriter& Field(std::string_view key, bool value);
    // Any other integer prints as a number, never as a bool.
    template <std::integral T>
        requires(!std::same_as<T, bool> && !std::same_as<T, long long>)
    JsonWriter& Field(std::string_view key, T value) {
        return Field(key, static_cast<long long>(value));
    }
    JsonWriter& Field(std::string_view key, std::string_view value);
    JsonWriter& Field(std::string_view key, const char* value) { return Field(key, std::string_view(value)); }
    JsonWriter& Null(std::string_view key);
    JsonWriter& Value(long long value);

private:
    void Key(std::string_view key);
    void String(std::string_view text);
    std::ostream& out_;
    std::vector<bool> first_{true};
};

// Makes dir (and its parents) when missing; when that fails, ends the
// command (kExitBadOutput).
void EnsureFolder(const std::filesystem::path& dir);
// "prefix-NNN.png" with a three-digit, 1-based number.
std::string NumberedName(std::string_view prefix, std::size_t number, std::string_view extension);
// CheckOutput for each of the files NumberedName names for 1 to count in folder.
void CheckNumberedOutputs(const std::filesystem::path& folder, std::string_view prefix, std::size_t count,
                          std::string_view extension, const std::filesystem::path& input);

}  // namespace vantrel::cli

namespace vantrel {
class CQVDoc;
}

namespace vantrel::cli {

// Opens a .qvd document or a GIF as a document; on failure ends the command
// (kExitBadInput). A damaged file that opened all the same is said so.
void LoadDocument(const std::string& path, CQVDoc& doc);

// Commands; each takes the arguments after its name and returns an exit code.
int InfoCommand(std::span<const std::string> args);
int DecodeCommand(std::span<const std::string> args);
int RenderCommand(std::span<const std::string> args);
int ExportCommand(std::span<const std::string> args);
int ExportFrameCommand(std::span<const std::string> args);
int QuickCommand(std::span<const std::string> args);
int SaveCommand(std::span<const std::string> args);
int FramesCommand(std::span<const std::string> args);
int TransitionCommandLine(std::span<const std::string> args);
int TweenCommandLine(std::span<const std::string> args);

// Saves doc as a .qvd document (the extension added when missing); prints
// where it went, or the reason it failed.
int SaveAs(CQVDoc& doc, const std::filesystem::path& out);
// The document form of info, for .qvd files and GIFs opened as documents.
int DocumentInfo(const std::string& path, bool json);

}  // namespace vantrel::cli
