#include "cli/AtomicFile.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace CalcCli {
namespace {

std::string Reason(int error) {
    return std::generic_category().message(error);
}

// The temporary files a signal must remove. A slot's path is written before it is
// marked in use, so the handler never reads a path being written.
struct Slot {
    std::array<char, PATH_MAX> path{};
    volatile std::sig_atomic_t used = 0;
};
std::array<Slot, 8> gSlots;
std::mutex gSlotsMutex;

extern "C" void RemoveTemporaries(int signal) {
    for (Slot& slot : gSlots) {
        if (slot.used != 0) {
            ::unlink(slot.path.data());
        }
    }
    // The handler was reset on entry: the signal now ends the program as it would have.
    ::raise(signal);
}

void InstallHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction now {};
            // A signal the caller ignores (nohup) stays ignored.
            if (::sigaction(signal, nullptr, &now) != 0 || now.sa_handler == SIG_IGN) {
                continue;
            }
            struct sigaction action {};
            action.sa_handler = RemoveTemporaries;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESETHAND;
            ::sigaction(signal, &action, nullptr);
        }
    });
}

int Register(const std::string& path) {
    if (path.size() >= PATH_MAX) {
        return -1;
    }
    const std::lock_guard lock(gSlotsMutex);
    for (std::size_t i = 0; i < gSlots.size(); ++i) {
        if (gSlots[i].used == 0) {
            std::memcpy(gSlots[i].path.data(), path.c_str(), path.size() + 1);
            std::atomic_signal_fence(std::memory_order_seq_cst);
            gSlots[i].used = 1;
            return static_cast<int>(i);
        }
    }
    // Every slot taken: the file is still written whole or not at all, but a
    // signal leaves its temporary file behind.
    return -1;
}

void Unregister(int slot) {
    if (slot >= 0) {
        const std::lock_guard lock(gSlotsMutex);
        gSlots[static_cast<std::size_t>(slot)].used = 0;
    }
}

// The mode a new file gets from the process's file-creation mask.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

AtomicFile::AtomicFile(const std::filesystem::path& target) : target_(target) {
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        error_ = "it is a folder";
        return;
    }
    // A device or a pipe (/dev/null, a process substitution) is no file to
    // replace: it is written as it is.
    if (exists && !S_ISREG(existing.st_mode)) {
        fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd_ < 0) {
            error_ = Reason(errno);
            return;
        }
        direct_ = true;
        buffer_ = std::make_unique<FdOutput>(fd_);
        stream_ = std::make_unique<std::ostream>(buffer_.get());
        return;
    }
    std::error_code ec;
    if (exists && std::filesystem::is_symlink(target_, ec)) {
        target_ = std::filesystem::canonical(target_, ec);
        if (ec) {
            target_ = target;
        }
    }
    const std::filesystem::path folder = target_.parent_path();
    // Hidden, beside the target. Built by appending: GCC 12 at -O3 takes a literal
    // plus a string for an overlapping copy (-Wrestrict).
    std::string name = ".";
    name.append(target_.filename().string()).append(".XXXXXX");
    std::string pattern = (folder / name).string();
    InstallHandlers();
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        error_ = Reason(errno);
        return;
    }
    temporary_ = pattern;
    slot_ = Register(temporary_);
    // mkstemp gives 0600; the file gets what the target has, or a new file's mode.
    const mode_t mode = exists ? (existing.st_mode & 07777) : NewFileMode();
    if (::fchmod(fd_, mode) != 0) {
        error_ = Reason(errno);
        return;
    }
    buffer_ = std::make_unique<FdOutput>(fd_);
    stream_ = std::make_unique<std::ostream>(buffer_.get());
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!committed_ && !temporary_.empty()) {
        ::unlink(temporary_.c_str());
    }
    Unregister(slot_);
}

bool AtomicFile::IsOpen() const {
    return stream_ != nullptr;
}

std::ostream& AtomicFile::Stream() {
    return *stream_;
}

std::string AtomicFile::Commit() {
    if (!IsOpen() || committed_) {
        return error_.empty() ? "the file is not open" : error_;
    }
    stream_->flush();
    if (!*stream_) {
        return buffer_->Error() != 0 ? Reason(buffer_->Error()) : "writing failed";
    }
    if (!direct_ && ::fsync(fd_) != 0) {
        return Reason(errno);
    }
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        return Reason(errno);
    }
    if (direct_) {
        committed_ = true;
        return {};
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        return Reason(errno);
    }
    committed_ = true;
    Unregister(slot_);
    slot_ = -1;
    // The new name on the disk too; a folder that cannot be synced is no failure.
    const std::filesystem::path folder =
        target_.parent_path().empty() ? "." : target_.parent_path();
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

} // namespace CalcCli
