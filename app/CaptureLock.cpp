#include "app/CaptureLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <string>
#include <system_error>

namespace {
std::string reason(int error) { return std::error_code(error, std::generic_category()).message(); }
} // namespace

CaptureLock::CaptureLock(const std::filesystem::path& directory) {
    const std::filesystem::path file = directory / fileName;
    // Close-on-exec, so ffmpeg does not hold the folder after the capture is gone.
    fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd_ < 0) throw std::runtime_error(file.string() + ": cannot make the capture's lock (" + reason(errno) + ")");
    int locked;
    do locked = ::flock(fd_, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        ::close(fd_);
        if (error == EWOULDBLOCK)
            throw std::runtime_error(directory.string() + " is in use by another capture; wait for it to end or "
                                                          "capture into another folder");
        throw std::runtime_error(file.string() + ": cannot lock the capture's folder (" + reason(error) + ")");
    }
}

CaptureLock::~CaptureLock() { ::close(fd_); }
