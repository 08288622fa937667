#pragma once

#include <fcntl.h>
#include <unistd.h>

// Points standard error at /dev/null for its lifetime, for libraries that print pages of
// complaints where one line of ours says it all. Only for moments when nothing else of ours
// writes there.
class QuietStderr {
public:
    QuietStderr() : saved_(dup(STDERR_FILENO)) {
        const int null = open("/dev/null", O_WRONLY);
        if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
        if (null >= 0) close(null);
    }
    ~QuietStderr() {
        if (saved_ < 0) return;
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_;
};
