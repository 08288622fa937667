#pragma once

#include <filesystem>

// A capture's hold on its folder while it writes there: a lock file in the folder, locked with
// flock, so the kernel lets go however the process ends, and a second capture into the folder
// is refused at once instead of interleaving its frames with the first one's. The file itself
// stays: removing it would let a third capture lock a new file while the second holds the old.
class CaptureLock {
public:
    // Throws std::runtime_error naming the folder when another process holds it, or when the lock
    // file cannot be made.
    explicit CaptureLock(const std::filesystem::path& directory);
    ~CaptureLock();
    CaptureLock(const CaptureLock&) = delete;
    CaptureLock& operator=(const CaptureLock&) = delete;

    static constexpr const char* fileName = ".tindrel-capture.lock";

private:
    int fd_ = -1;
};
