#include "app/CaptureLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <string>
#include <system_error>

namespace {

std::string reason(int error) { return std::error_code(error, std::generic_category()).message(); }

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

} // namespace

CaptureLock::CaptureLock(const std::filesystem::path& directory) : file_(directory / ".tindrel-capture.lock") {
    for (;;) {
        // Close-on-exec, so ffmpeg does not hold the folder after the capture is gone.
        fd_ = ::open(file_.c_str(), O_RDWR | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd_ < 0) throw std::runtime_error(file_.string() + ": cannot make the capture's lock (" + reason(errno) + ")");
        int locked;
        do locked = ::flock(fd_, LOCK_EX | LOCK_NB);
        while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            const int error = errno;
            ::close(fd_);
            if (error == EWOULDBLOCK)
                throw std::runtime_error(directory.string() + " is in use by another capture; wait for it to end or "
                                                              "capture into another folder");
            throw std::runtime_error(file_.string() + ": cannot lock the capture's folder (" + reason(error) + ")");
        }
        // The capture before may have removed the file between our open and our lock, and a
        // third one made a new one: the lock only counts on the file that is there.
        struct stat held {}, named {};
        if (::fstat(fd_, &held) == 0 && ::stat(file_.c_str(), &named) == 0 && sameFile(held, named)) return;
        ::close(fd_);
    }
}

CaptureLock::~CaptureLock() {
    // Removed while still locked, so whoever opened it meanwhile sees it is not the one named.
    ::unlink(file_.c_str());
    ::close(fd_);
}
