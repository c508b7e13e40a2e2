#pragma once
// The files that keep documents recoverable after a crash, without any Qt.
//
// A recovery folder holds, for each running editor, a lock file "<pid>.lock"
// (its process id as text; the process holds an exclusive lock on it while it
// runs, which the system releases when the process ends however it ends), and
// for each of its modified documents a copy "<pid>-<n>.qvd" with a note
// "<pid>-<n>.note" naming the document's original path and title and the
// time of the copy. Copies whose process no longer holds its lock are left
// from a crash and can be recovered.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/Status.h"

namespace vantrel {

// What a recovery copy stands for.
struct RecoveryNote {
    std::string originalPath;  // empty for a document never saved
    std::string title;
    std::int64_t savedAt = 0;  // seconds since 1970 (UTC) of the copy
    friend bool operator==(const RecoveryNote&, const RecoveryNote&) = default;
};

// The note as text: one "key=value" line per field, with backslash, line
// feed and carriage return escaped so that any path survives (UTF-8 bytes
// pass unchanged).
std::string FormatRecoveryNote(const RecoveryNote& note);
// None when a field is missing or the text is not a note.
std::optional<RecoveryNote> ParseRecoveryNote(std::string_view text);

// A copy left by a process that is no longer running.
struct RecoveryEntry {
    std::filesystem::path documentFile;
    std::filesystem::path noteFile;
    RecoveryNote note;
};

// The list of documents an editor has open ("<pid>.open" beside its lock
// file): a header line, then one path per line, escaped as in notes. None
// when the text is not such a list.
std::string FormatOpenList(const std::vector<std::string>& paths);
std::optional<std::vector<std::string>> ParseOpenList(std::string_view text);
// The process ids of the editors still running, other than ownProcess,
// whose open list in folder names the file at path.
std::vector<std::string> EditorsWithOpen(const std::filesystem::path& folder, const std::filesystem::path& path,
                                         const std::string& ownProcess);

// True when a running process holds the lock file (the file must exist).
bool LockFileIsHeld(const std::filesystem::path& lockFile);

// The copies in folder whose process is not running, oldest first. A copy
// whose process ended before it wrote the note comes with the note of a
// document never saved ("Recovered document", the copy's time). A note
// that cannot be read is left out; with movedAside, it is moved aside with
// its copy (MoveAside) and the copy's new place listed there instead, so
// that it is neither offered again at every start nor lost.
std::vector<RecoveryEntry> FindOrphanedCopies(const std::filesystem::path& folder,
                                              std::vector<std::filesystem::path>* movedAside = nullptr);
// Moves a copy that cannot be read, and its note, into the subfolder
// "damaged" of its folder, where they stay for the user to look at (never
// removed). Returns where the copy is now (where it was, when it could not
// be moved).
std::filesystem::path MoveAside(const RecoveryEntry& entry);
// Whether the copy's document file was written after the copy was made (a
// save by another editor or another program). Such a copy is not opened as
// the document, which would put older work over a newer file, but beside it.
bool FileChangedSinceCopy(const RecoveryNote& note);
// Removes an entry's files, and the lock file of its dead process once that
// process has no other copies.
void DiscardCopy(const RecoveryEntry& entry);

// The recovery files of this process: takes the lock file on construction,
// and on destruction (a clean end) removes it with every copy still listed.
class RecoverySession {
public:
    explicit RecoverySession(std::filesystem::path folder);
    ~RecoverySession();
    RecoverySession(const RecoverySession&) = delete;
    RecoverySession& operator=(const RecoverySession&) = delete;

    // False when the folder or the lock file could not be made (autosave is
    // then off; the reason says why).
    bool ok() const { return lockFd_ >= 0; }
    const std::string& reason() const { return reason_; }
    const std::filesystem::path& Folder() const { return folder_; }

    // A new slot for one document.
    int NewSlot();
    std::filesystem::path DocumentFile(int slot) const;
    std::filesystem::path NoteFile(int slot) const;

    // Writes the copy, then its note, each atomically. Safe on any thread, as
    // long as one slot is written by one thread at a time.
    Status Write(int slot, std::span<const std::uint8_t> documentBytes, const RecoveryNote& note) const;
    // Removes the slot's files (the document was saved or closed cleanly).
    void Remove(int slot) const;
    // Takes an orphaned copy over as the files of a new slot of this session.
    int Adopt(const RecoveryEntry& entry);
    // Replaces this editor's list of open documents.
    Status WriteOpenList(const std::vector<std::string>& paths) const;
    // This process's id as the files name it.
    const std::string& Process() const { return prefix_; }

private:
    std::filesystem::path folder_;
    std::string prefix_;  // "<pid>"
    int lockFd_ = -1;
    int nextSlot_ = 1;
    std::string reason_;
};

}  // namespace vantrel
