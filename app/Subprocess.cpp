#include "app/Subprocess.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <sstream>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

Subprocess::Subprocess(const std::vector<std::string>& argv, bool pipeInput) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    int fds[2] = {-1, -1};
    if (pipeInput && pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("cannot start " + argv[0]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (pipeInput) posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    const int failed = posix_spawnp(&pid_, argv[0].c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeInput) close(fds[0]);
    if (failed != 0) {
        if (pipeInput) close(fds[1]);
        pid_ = -1;
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(failed));
    }
    input_ = fds[1];
    // A child that stops reading must not kill us with SIGPIPE: write() reports it instead.
    std::signal(SIGPIPE, SIG_IGN);
}

Subprocess::~Subprocess() {
    if (pid_ > 0) wait();
}

bool Subprocess::write(const void* bytes, std::size_t size) {
    const char* p = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t n = ::write(input_, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

int Subprocess::wait() {
    if (input_ >= 0) close(input_);
    input_ = -1;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Subprocess::available(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return true;
    }
    return false;
}
