#include "app/RecoveryFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "core/FileIO.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kNoteHeader = "vantrel-recovery 1";
constexpr std::string_view kOpenListHeader = "vantrel-open 1";
constexpr std::string_view kOpenListExtension = ".open";
constexpr std::string_view kLockExtension = ".lock";
constexpr std::string_view kNoteExtension = ".note";
constexpr std::string_view kCopyExtension = ".qvd";
// Notes are a few hundred bytes; anything larger is not one.
constexpr std::uintmax_t kMaxNoteBytes = 64 * 1024;

std::string Escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i]) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

// The process part of a copy's name "<pid>-<n>", or of a lock file's "<pid>".
std::string ProcessPart(const fs::path& file) {
    const std::string stem = file.stem().string();
    return stem.substr(0, stem.find('-'));
}

fs::path LockFileFor(const fs::path& folder, const std::string& process) {
    return folder / (process + std::string(kLockExtension));
}

// Files of folder whose names start with "<process>-" (with hidden, the
// temporary files of unfinished writes, ".<process>-...").
std::vector<fs::path> CopiesOf(const fs::path& folder, const std::string& process, bool hidden = false) {
    const std::string prefix = (hidden ? "." : "") + process + "-";
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.path().filename().string().starts_with(prefix)) files.push_back(entry.path());
    }
    return files;
}

}  // namespace

std::string FormatRecoveryNote(const RecoveryNote& note) {
    return std::string(kNoteHeader) + "\npath=" + Escape(note.originalPath) + "\ntitle=" + Escape(note.title) +
           "\nsaved=" + std::to_string(note.savedAt) + "\n";
}

std::optional<RecoveryNote> ParseRecoveryNote(std::string_view text) {
    RecoveryNote note;
    bool header = false, path = false, title = false, saved = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!header) {
            if (line != kNoteHeader) return std::nullopt;
            header = true;
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) return std::nullopt;
        const std::string_view key = line.substr(0, eq);
        const auto value = Unescape(line.substr(eq + 1));
        if (!value) return std::nullopt;
        if (key == "path") {
            note.originalPath = *value;
            path = true;
        } else if (key == "title") {
            note.title = *value;
            title = true;
        } else if (key == "saved") {
            if (value->empty() || value->size() > 18 ||
                !std::all_of(value->begin(), value->end(), [](char c) { return c >= '0' && c <= '9'; }))
                return std::nullopt;
            note.savedAt = std::stoll(*value);
            saved = true;
        }
    }
    if (!(header && path && title && saved)) return std::nullopt;
    return note;
}

std::string FormatOpenList(const std::vector<std::string>& paths) {
    std::string text = std::string(kOpenListHeader) + "\n";
    for (const std::string& path : paths) text += Escape(path) + "\n";
    return text;
}

std::optional<std::vector<std::string>> ParseOpenList(std::string_view text) {
    std::vector<std::string> paths;
    bool header = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) return std::nullopt;  // every line ends
        const std::string_view line = text.substr(0, end);
        text = text.substr(end + 1);
        if (!header) {
            if (line != kOpenListHeader) return std::nullopt;
            header = true;
            continue;
        }
        auto path = Unescape(line);
        if (!path) return std::nullopt;
        paths.push_back(std::move(*path));
    }
    if (!header) return std::nullopt;
    return paths;
}

std::vector<std::string> EditorsWithOpen(const fs::path& folder, const fs::path& path, const std::string& ownProcess) {
    std::vector<std::string> editors;
    std::error_code ec;
    for (const auto& file : fs::directory_iterator(folder, ec)) {
        if (file.path().extension() != kOpenListExtension) continue;
        const std::string process = file.path().stem().string();
        if (process == ownProcess) continue;
        const fs::path lock = LockFileFor(folder, process);
        if (!fs::exists(lock, ec) || !LockFileIsHeld(lock)) continue;
        const auto bytes = ReadFileBytes(file.path(), kMaxNoteBytes);
        if (!bytes) continue;
        const auto paths = ParseOpenList(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
        if (!paths) continue;
        for (const std::string& open : *paths) {
            if (open == path.string() || fs::equivalent(open, path, ec)) {
                editors.push_back(process);
                break;
            }
        }
    }
    std::sort(editors.begin(), editors.end());
    return editors;
}

bool LockFileIsHeld(const fs::path& lockFile) {
    const int fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // A shared lock is refused while a process holds the exclusive one.
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);  // also releases the shared lock, if taken
    return held;
}

std::vector<RecoveryEntry> FindOrphanedCopies(const fs::path& folder, std::vector<fs::path>* movedAside) {
    std::vector<RecoveryEntry> entries;
    std::error_code ec;
    std::vector<fs::path> files;
    for (const auto& file : fs::directory_iterator(folder, ec)) files.push_back(file.path());
    for (const fs::path& documentFile : files) {
        if (documentFile.extension() != kCopyExtension || documentFile.filename().string().starts_with(".")) continue;
        const fs::path lock = LockFileFor(folder, ProcessPart(documentFile));
        if (fs::exists(lock, ec) && LockFileIsHeld(lock)) continue;
        if (!fs::is_regular_file(documentFile, ec)) continue;
        fs::path noteFile = documentFile;
        noteFile.replace_extension(kNoteExtension);
        RecoveryEntry entry{documentFile, noteFile, {}};
        if (!fs::exists(noteFile, ec)) {
            // The process ended between writing the copy and its first note.
            const auto written = fs::last_write_time(documentFile, ec);
            const auto when = std::chrono::file_clock::to_sys(written);
            entry.note = {"", "Recovered document",
                          ec ? 0 : std::chrono::duration_cast<std::chrono::seconds>(when.time_since_epoch()).count()};
            entries.push_back(std::move(entry));
            continue;
        }
        const auto bytes = ReadFileBytes(noteFile, kMaxNoteBytes);
        const auto note =
            bytes ? ParseRecoveryNote(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()))
                  : std::nullopt;
        if (!note) {
            if (movedAside != nullptr) movedAside->push_back(MoveAside(entry));
            continue;
        }
        entry.note = *note;
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const RecoveryEntry& a, const RecoveryEntry& b) {
        return a.note.savedAt != b.note.savedAt ? a.note.savedAt < b.note.savedAt : a.noteFile < b.noteFile;
    });
    return entries;
}

fs::path MoveAside(const RecoveryEntry& entry) {
    std::error_code ec;
    const fs::path damaged = entry.documentFile.parent_path() / "damaged";
    fs::create_directories(damaged, ec);
    // Never over an earlier copy moved aside under the same name.
    const std::string stem = entry.documentFile.stem().string();
    fs::path moved;
    for (int n = 0;; ++n) {
        const std::string name = n == 0 ? stem : stem + "." + std::to_string(n);
        moved = damaged / (name + std::string(kCopyExtension));
        fs::path movedNote = damaged / (name + std::string(kNoteExtension));
        if (fs::exists(moved, ec) || fs::exists(movedNote, ec)) continue;
        fs::rename(entry.documentFile, moved, ec);
        if (ec) return entry.documentFile;
        fs::rename(entry.noteFile, movedNote, ec);
        return moved;
    }
}

bool FileChangedSinceCopy(const RecoveryNote& note) {
    if (note.originalPath.empty()) return false;
    std::error_code ec;
    const auto written = fs::last_write_time(fs::path(note.originalPath), ec);
    if (ec) return false;
    const auto when = std::chrono::file_clock::to_sys(written);
    return std::chrono::duration_cast<std::chrono::seconds>(when.time_since_epoch()).count() > note.savedAt;
}

void DiscardCopy(const RecoveryEntry& entry) {
    std::error_code ec;
    fs::remove(entry.documentFile, ec);
    fs::remove(entry.noteFile, ec);
    const fs::path folder = entry.noteFile.parent_path();
    const std::string process = ProcessPart(entry.noteFile);
    const fs::path lock = LockFileFor(folder, process);
    if (!CopiesOf(folder, process).empty() || LockFileIsHeld(lock)) return;
    // Nothing of the dead process is left but what it was writing when it ended.
    for (const fs::path& unfinished : CopiesOf(folder, process, true)) fs::remove(unfinished, ec);
    fs::remove(folder / (process + std::string(kOpenListExtension)), ec);
    fs::remove(lock, ec);
}

// ---- RecoverySession ----

RecoverySession::RecoverySession(fs::path folder) : folder_(std::move(folder)), prefix_(std::to_string(::getpid())) {
    std::error_code ec;
    fs::create_directories(folder_, ec);
    const fs::path lock = LockFileFor(folder_, prefix_);
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        reason_ = lock.string() + ": " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return;
    }
    // A lock file left by an earlier process of the same id is taken over;
    // its copies were that process's and stay orphaned under their names.
    const std::string pid = prefix_ + "\n";
    if (::ftruncate(fd, 0) != 0 || ::write(fd, pid.data(), pid.size()) != static_cast<ssize_t>(pid.size())) {
        reason_ = lock.string() + ": " + std::strerror(errno);
        ::close(fd);
        return;
    }
    lockFd_ = fd;
    // Copies of an earlier process with this id would be mistaken for ours.
    for (const fs::path& old : CopiesOf(folder_, prefix_)) {
        fs::path renamed = old;
        renamed.replace_filename("old" + old.filename().string());
        fs::rename(old, renamed, ec);
    }
}

RecoverySession::~RecoverySession() {
    if (lockFd_ < 0) return;
    std::error_code ec;
    for (const fs::path& file : CopiesOf(folder_, prefix_)) fs::remove(file, ec);
    fs::remove(folder_ / (prefix_ + std::string(kOpenListExtension)), ec);
    fs::remove(LockFileFor(folder_, prefix_), ec);
    ::close(lockFd_);
}

int RecoverySession::NewSlot() { return nextSlot_++; }

fs::path RecoverySession::DocumentFile(int slot) const {
    return folder_ / (prefix_ + "-" + std::to_string(slot) + std::string(kCopyExtension));
}

fs::path RecoverySession::NoteFile(int slot) const {
    return folder_ / (prefix_ + "-" + std::to_string(slot) + std::string(kNoteExtension));
}

Status RecoverySession::Write(int slot, std::span<const std::uint8_t> documentBytes, const RecoveryNote& note) const {
    if (Status written = WriteFileAtomic(DocumentFile(slot), documentBytes); !written) return written;
    const std::string text = FormatRecoveryNote(note);
    return WriteFileAtomic(NoteFile(slot), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

Status RecoverySession::WriteOpenList(const std::vector<std::string>& paths) const {
    const std::string text = FormatOpenList(paths);
    return WriteFileAtomic(folder_ / (prefix_ + std::string(kOpenListExtension)),
                           std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                           FileSync::None);
}

void RecoverySession::Remove(int slot) const {
    std::error_code ec;
    fs::remove(NoteFile(slot), ec);
    fs::remove(DocumentFile(slot), ec);
}

int RecoverySession::Adopt(const RecoveryEntry& entry) {
    const int slot = NewSlot();
    std::error_code ec;
    fs::rename(entry.documentFile, DocumentFile(slot), ec);
    // A copy that could not be moved stays where it is, to be offered again.
    if (ec) return slot;
    fs::rename(entry.noteFile, NoteFile(slot), ec);
    DiscardCopy(entry);  // what is left of it, and the dead process's lock file
    return slot;
}

}  // namespace vantrel
