#pragma once
// Whole-file reading with a size bound, and saving that never destroys the
// old file: the bytes go to a temporary file in the target's folder, are
// flushed to disk, and only then renamed over the target.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/Result.h"
#include "core/Status.h"

namespace vantrel {

// Files larger than this are refused before anything is allocated.
inline constexpr std::uintmax_t kMaxInputFileBytes = std::uintmax_t{1} << 30;

// The extension of a file name after its last dot, in lower case, without
// the dot; empty when the name has no dot.
std::string LowerCaseExtension(const std::filesystem::path& path);

// "path: message", naming the path once: reasons from the file layer name it already.
std::string AboutPath(const std::filesystem::path& path, const std::string& message);

// Reads a whole file. Only regular files are read: a folder, a pipe or a
// device is refused at once (never waited on, never read to the limit), and
// so is a file larger than maxBytes. A failure says why in one line naming the path.
Result<std::vector<std::uint8_t>> ReadFileBytes(const std::filesystem::path& path,
                                                std::uintmax_t maxBytes = kMaxInputFileBytes);

// Closes a stream opened by OpenFileForReading.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileStream = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file as a stream for reading; refuses what ReadFileBytes refuses
// but for the size.
Result<FileStream> OpenFileForReading(const std::filesystem::path& path);

// Writes bytes to path through a temporary file in the same folder. On any
// failure the temporary file is removed, the old file is untouched, and the
// status says why.
//
// Only regular files are written or replaced: a folder, pipe, device or
// socket at path is refused, and so is a read-only file. A symbolic link at
// path stays; the file it leads to is the one replaced (the temporary file
// goes into that file's folder).
//
// With FileSync::Each the file's data reach the disk before the rename. A
// job writing many files into one folder passes FileSync::Later and calls
// SyncFolder once at the end instead: one flush rather than one per file.
// FileSync::None flushes nothing: for a picture made from files that stay
// as they were, which is whole or absent if the program stops, and reaches
// the disk when the system writes it back (as a copy made by cp would).
enum class FileSync { Each, Later, None };
Status WriteFileAtomic(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                       FileSync sync = FileSync::Each);

// The same for writers that produce their output in pieces: write is called
// with a function that appends bytes and returns false once writing failed.
using ByteSinkFn = std::function<bool(std::span<const std::uint8_t>)>;
Status WriteFileAtomic(const std::filesystem::path& path,
                       const std::function<bool(const ByteSinkFn&)>& write, FileSync sync = FileSync::Each);

// Brings the files written into folder with FileSync::Later, and the folder's
// entries, to the disk (by flushing the file system that holds the folder).
Status SyncFolder(const std::filesystem::path& folder);

// The file a save to path replaces: where a chain of symbolic links at path
// ends (a link to a missing file ends at that file), else path itself.
std::filesystem::path ResolveWriteTarget(const std::filesystem::path& path);

// Ok when a save may write path: nothing is there yet, or a regular file that
// may be written. Otherwise the reason, naming path. Called by WriteFileAtomic;
// callers ask it first to refuse before any work.
Status CheckWriteTarget(const std::filesystem::path& path);

// True when path (through its links) is an existing regular file that may not
// be written: its permissions forbid it or its file system is read-only.
bool IsReadOnlyFile(const std::filesystem::path& path);

// True when both paths exist and name the same file (through links and
// different spellings).
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// ---- failures on purpose, for tests ----

// While one is alive, the saves made on its thread count their system steps
// (creating the temporary file, each write, the sync, the close, the rename)
// and the step numbered failAt (from 1) fails with the error number given, as
// if the system had refused it: EIO, ENOSPC for a full disk, EROFS or EACCES
// for a folder that cannot be written. failAt 0 only counts.
class ScopedFileFault {
public:
    explicit ScopedFileFault(int failAt, int error);
    ~ScopedFileFault();
    ScopedFileFault(const ScopedFileFault&) = delete;
    ScopedFileFault& operator=(const ScopedFileFault&) = delete;

    // Steps counted so far, the failed one included.
    int Steps() const { return steps_; }
    bool Fired() const { return failAt_ > 0 && steps_ >= failAt_; }

private:
    friend bool FileFaultStep(int* error);
    int failAt_;
    int error_;
    int steps_ = 0;
    ScopedFileFault* outer_;
};

// Counts one step for the innermost fault of this thread; true, with *error
// set, when that step is to fail. Used by the file layer only.
bool FileFaultStep(int* error);

}  // namespace vantrel
