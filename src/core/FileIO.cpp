#include "core/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

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

// Makes a rename durable: the folder's entry is flushed too. Best effort, as
// the target is already in place whatever this returns.
void SyncFolder(const fs::path& folder) {
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

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const fs::path& path, std::string* error,
                                                       std::uintmax_t maxBytes) {
    auto fail = [&](std::string reason) -> std::optional<std::vector<std::uint8_t>> {
        if (error) *error = std::move(reason);
        return std::nullopt;
    };
    std::error_code ec;
    if (fs::is_directory(path, ec)) return fail(path.string() + ": is a folder");
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return fail(Reason(path, errno));
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            return fail(Reason(path, errno));
        }
        if (got == 0) break;
        if (bytes.size() + std::size_t(got) > maxBytes)
            return fail(path.string() + ": file is larger than " + std::to_string(maxBytes) + " bytes");
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
}

Status WriteFileAtomic(const fs::path& path, std::span<const std::uint8_t> bytes) {
    return WriteFileAtomic(path, [&](const ByteSinkFn& sink) { return sink(bytes); });
}

Status WriteFileAtomic(const fs::path& path, const std::function<bool(const ByteSinkFn&)>& write) {
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::error_code ec;
    if (fs::is_directory(path, ec)) return Status::Error(path.string() + ": is a folder");

    // A temporary name in the same folder, so that the final rename stays on
    // one file system and replaces the target in one step.
    std::random_device random;
    fs::path temp;
    int raw = -1;
    for (int attempt = 0; attempt < 16 && raw < 0; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
        temp = folder / ("." + path.filename().string() + suffix);
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
    if (produced && writeError == 0 && Step([&] { return ::fsync(fd.get()); }) != 0) writeError = errno;
    if (Step([&] { return fd.Close(); }) != 0 && writeError == 0) writeError = errno;
    if (!produced || writeError != 0) {
        fs::remove(temp, ec);
        if (writeError == 0) return Status::Error(path.string() + ": the file could not be written");
        return Status::Error(Reason(path, writeError));
    }
    // A file being replaced keeps its permissions.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) ::chmod(temp.c_str(), old.st_mode & 07777);
    if (Step([&] { return ::rename(temp.c_str(), path.c_str()); }) != 0) {
        const int renameError = errno;
        fs::remove(temp, ec);
        return Status::Error(Reason(path, renameError));
    }
    SyncFolder(folder);
    return Status::Ok();
}

}  // namespace vantrel
