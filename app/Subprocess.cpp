#include "app/Subprocess.h"

#include <csignal>
#include <cstdlib>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

Subprocess::Subprocess(const std::vector<std::string>& argv, const Options& options) : killAtEnd_(options.killAtEnd) {
    const bool pipeInput = options.pipeInput, pipeSecondInput = options.pipeSecondInput;
    const std::vector<std::string>& environment = options.environment;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> env;
    for (const std::string& e : environment) env.push_back(const_cast<char*>(e.c_str()));
    for (char** e = environ; *e; ++e) env.push_back(*e);
    env.push_back(nullptr);

    int fds[2] = {-1, -1};
    int secondFds[2] = {-1, -1};
    int outFds[2] = {-1, -1};
    auto closeAll = [&] {
        for (const int fd : {fds[0], fds[1], secondFds[0], secondFds[1], outFds[0], outFds[1]})
            if (fd >= 0) close(fd);
    };
    if ((pipeInput && pipe2(fds, O_CLOEXEC) != 0) || (pipeSecondInput && pipe2(secondFds, O_CLOEXEC) != 0) ||
        (options.pipeOutput && pipe2(outFds, O_CLOEXEC) != 0)) {
        closeAll();
        throw std::runtime_error("cannot start " + argv[0]);
    }
    // A pipe of a megabyte, the most Linux gives without privilege, takes a whole frame at once
    // instead of waking the child for every 64 KiB of it.
#ifdef F_SETPIPE_SZ
    for (const int fd : {fds[1], secondFds[1]})
        if (fd >= 0) fcntl(fd, F_SETPIPE_SZ, 1 << 20);
#endif
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (pipeInput) posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    if (pipeSecondInput) posix_spawn_file_actions_adddup2(&actions, secondFds[0], 3);
    if (options.pipeOutput) posix_spawn_file_actions_adddup2(&actions, outFds[1], STDOUT_FILENO);
    const int failed = posix_spawnp(&pid_, argv[0].c_str(), &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        closeAll();
        pid_ = -1;
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(failed));
    }
    for (const int fd : {fds[0], secondFds[0], outFds[1]})
        if (fd >= 0) close(fd);
    input_ = fds[1];
    secondInput_ = secondFds[1];
    output_ = outFds[0];
    // A child that stops reading must not kill us with SIGPIPE: write() reports it instead.
    std::signal(SIGPIPE, SIG_IGN);
}

Subprocess::~Subprocess() {
    if (pid_ > 0 && killAtEnd_) kill();
    if (pid_ > 0) wait();
    if (output_ >= 0) close(output_);
}

std::optional<std::string> Subprocess::read(int timeoutMs) {
    if (output_ < 0) return std::nullopt;
    pollfd p{output_, POLLIN, 0};
    const int ready = ::poll(&p, 1, timeoutMs);
    if (ready <= 0) {
        if (ready < 0 && errno != EINTR) return std::nullopt;
        return std::string();
    }
    char buffer[4096];
    const ssize_t got = ::read(output_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) return std::string();
    if (got <= 0) return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(got));
}

void Subprocess::kill() {
    if (pid_ > 0) ::kill(pid_, SIGKILL);
}

bool Subprocess::writeAll(int fd, const void* bytes, std::size_t size) {
    const char* p = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void Subprocess::closeInput() {
    if (input_ >= 0) close(input_);
    input_ = -1;
}

void Subprocess::closeSecond() {
    if (secondInput_ >= 0) close(secondInput_);
    secondInput_ = -1;
}

int Subprocess::wait() {
    closeInput();
    closeSecond();
    if (pid_ <= 0) return exit_;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    ending_ = WIFSIGNALED(status) ? std::string(strsignal(WTERMSIG(status))) : "status " + std::to_string(WEXITSTATUS(status));
    exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return exit_;
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
