#pragma once

#include <filesystem>

// A capture's hold on its folder while it writes there: a lock file in the folder, locked with
// flock, so the kernel lets go however the process ends, and a second capture into the folder
// is refused at once instead of interleaving its frames with the first one's. The file goes when
// the capture does; one left by a killed capture is simply taken over.
class CaptureLock {
public:
    // Throws std::runtime_error naming the folder when another process holds it, or when the lock
    // file cannot be made.
    explicit CaptureLock(const std::filesystem::path& directory);
    ~CaptureLock();
    CaptureLock(const CaptureLock&) = delete;
    CaptureLock& operator=(const CaptureLock&) = delete;

private:
    std::filesystem::path file_;
    int fd_ = -1;
};
