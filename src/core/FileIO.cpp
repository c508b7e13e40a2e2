#include "core/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "core/TemporaryFiles.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

std::string Reason(const fs::path& path, int error) {
    return path.string() + ": " + std::strerror(error);
}

// Closes a POSIX file descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    int Close() {
        int result = 0;
        if (fd_ >= 0) result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

thread_local ScopedFileFault* activeFault = nullptr;

// One system call of a save, unless the fault of this thread stops it first:
// then it returns -1 with errno set, as a refusing system would.
template <typename Call>
auto Step(Call call) -> decltype(call()) {
    int error = 0;
    if (FileFaultStep(&error)) {
        errno = error;
        return -1;
    }
    return call();
}

// Ok for a regular file; else the refusal naming path.
Status RegularFileOnly(const fs::path& path, const struct stat& info) {
    if (S_ISREG(info.st_mode)) return Status::Ok();
    if (S_ISDIR(info.st_mode)) return Status::Error(path.string() + ": is a folder");
    return Status::Error(path.string() + ": is not a regular file");
}

// Opens a regular file for reading and describes it in *info: its
// descriptor, which the caller then owns, or the reason it was refused. What the path is is asked before opening, so that no
// device is opened at all, and again of what was opened, in case the path
// changed in between. A pipe opened without waiting for a writer never
// blocks the open.
Result<int> OpenRegularFile(const fs::path& path, struct stat* info) {
    if (::stat(path.c_str(), info) != 0) return Status::Error(Reason(path, errno));
    if (Status kind = RegularFileOnly(path, *info); !kind) return kind;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0 || ::fstat(fd.get(), info) != 0) return Status::Error(Reason(path, errno));
    if (Status kind = RegularFileOnly(path, *info); !kind) return kind;
    return fd.Release();
}

// Whether the file at path, described by info, may be replaced. The super
// user may write any file, so a file without any write permission counts as
// read-only for everyone; a file system mounted read-only answers too.
bool MayWrite(const fs::path& path, const struct stat& info) {
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// Links followed before a chain of them counts as endless (as the system does).
constexpr int kMaxLinkHops = 40;

// Makes a rename durable: the folder's entry is flushed too. Best effort, as
// the target is already in place whatever this returns.
void FlushFolderEntry(const fs::path& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

ScopedFileFault::ScopedFileFault(int failAt, int error) : failAt_(failAt), error_(error), outer_(activeFault) {
    activeFault = this;
}

ScopedFileFault::~ScopedFileFault() { activeFault = outer_; }

bool FileFaultStep(int* error) {
    ScopedFileFault* fault = activeFault;
    if (fault == nullptr) return false;
    ++fault->steps_;
    if (fault->steps_ != fault->failAt_) return false;
    *error = fault->error_;
    return true;
}

std::string LowerCaseExtension(const fs::path& path) {
    const std::string name = path.filename().string();
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

std::string AboutPath(const fs::path& path, const std::string& message) {
    const std::string name = path.string();
    if (message.starts_with(name + ": ")) return message;
    // A message that starts with the file's name names it already.
    if (message.starts_with(path.filename().string() + " ")) return message;
    return name + ": " + message;
}

Result<std::vector<std::uint8_t>> ReadFileBytes(const fs::path& path, std::uintmax_t maxBytes) {
    struct stat info {};
    const Result<int> opened = OpenRegularFile(path, &info);
    if (!opened) return opened.status();
    FileDescriptor fd(*opened);
    const auto tooLarge = [&] {
        return Status::Error(path.string() + ": file is larger than " + std::to_string(maxBytes) + " bytes");
    };
    if (std::uintmax_t(info.st_size) > maxBytes) return tooLarge();
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::size_t(info.st_size));
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            return Status::Error(Reason(path, errno));
        }
        if (got == 0) break;
        // A file may grow while it is read.
        if (bytes.size() + std::size_t(got) > maxBytes) return tooLarge();
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
}

Result<FileStream> OpenFileForReading(const fs::path& path) {
    struct stat info {};
    const Result<int> opened = OpenRegularFile(path, &info);
    if (!opened) return opened.status();
    FileDescriptor fd(*opened);
    FileStream stream(::fdopen(fd.get(), "rb"));
    if (!stream) return Status::Error(Reason(path, errno));
    fd.Release();  // the stream closes it now
    return stream;
}

fs::path ResolveWriteTarget(const fs::path& path) {
    fs::path current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::error_code ec;
        const fs::path next = fs::read_symlink(current, ec);
        if (ec) return current;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return current;
}

Status CheckWriteTarget(const fs::path& path) {
    const fs::path target = ResolveWriteTarget(path);
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0) {
        // Nothing there yet: the file will be made. A missing folder is
        // reported when the temporary file cannot be created in it.
        if (errno == ENOENT) return Status::Ok();
        return Status::Error(Reason(path, errno));
    }
    if (S_ISLNK(info.st_mode)) return Status::Error(Reason(path, ELOOP));  // links without end
    if (Status kind = RegularFileOnly(path, info); !kind) return kind;
    if (!MayWrite(target, info)) return Status::Error(path.string() + ": the file is read-only");
    return Status::Ok();
}

bool IsReadOnlyFile(const fs::path& path) {
    const fs::path target = ResolveWriteTarget(path);
    struct stat info {};
    return ::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode) && !MayWrite(target, info);
}

bool IsSameFile(const fs::path& a, const fs::path& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

Status WriteFileAtomic(const fs::path& path, std::span<const std::uint8_t> bytes, FileSync sync) {
    return WriteFileAtomic(path, [&](const ByteSinkFn& sink) { return sink(bytes); }, sync);
}

Status SyncFolder(const fs::path& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) return Status::Error(Reason(folder, errno));
    if (::syncfs(fd.get()) != 0) return Status::Error(Reason(folder, errno));
    return Status::Ok();
}

Status WriteFileAtomic(const fs::path& path, const std::function<bool(const ByteSinkFn&)>& write,
                       FileSync sync) {
    if (Status allowed = CheckWriteTarget(path); !allowed) return allowed;
    // Through a link, its file is replaced beside itself and the link stays.
    const fs::path target = ResolveWriteTarget(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code ec;

    // A temporary name in the same folder, so that the final rename stays on
    // one file system and replaces the target in one step.
    std::random_device random;
    fs::path temp;
    int raw = -1;
    for (int attempt = 0; attempt < 16 && raw < 0; ++attempt) {
        temp = TemporaryFileFor(target, static_cast<std::uint32_t>(random()));
        raw = Step([&] { return ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); });
        if (raw < 0 && errno != EEXIST) return Status::Error(Reason(path, errno));
    }
    if (raw < 0) return Status::Error(Reason(path, EEXIST));
    FileDescriptor fd(raw);

    int writeError = 0;
    const ByteSinkFn sink = [&](std::span<const std::uint8_t> data) {
        if (writeError != 0) return false;
        std::size_t done = 0;
        while (done < data.size()) {
            const ssize_t n = Step([&] { return ::write(fd.get(), data.data() + done, data.size() - done); });
            if (n < 0) {
                if (errno == EINTR) continue;
                writeError = errno;
                return false;
            }
            done += std::size_t(n);
        }
        return true;
    };
    const bool produced = write(sink);
    if (produced && writeError == 0 && sync == FileSync::Each && Step([&] { return ::fsync(fd.get()); }) != 0)
        writeError = errno;
    if (Step([&] { return fd.Close(); }) != 0 && writeError == 0) writeError = errno;
    if (!produced || writeError != 0) {
        fs::remove(temp, ec);
        if (writeError == 0) return Status::Error(path.string() + ": the file could not be written");
        return Status::Error(Reason(path, writeError));
    }
    // A file being replaced keeps its permissions.
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) ::chmod(temp.c_str(), old.st_mode & 07777);
    if (Step([&] { return ::rename(temp.c_str(), target.c_str()); }) != 0) {
        const int renameError = errno;
        fs::remove(temp, ec);
        return Status::Error(Reason(path, renameError));
    }
    // Batches of files (FileSync::Later) sync their folder once at the end.
    if (sync == FileSync::Each) FlushFolderEntry(folder);
    return Status::Ok();
}

}  // namespace vantrel
