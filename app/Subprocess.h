#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// A child program run with an argument vector (no shell, so paths need no quoting), its
// standard input optionally a pipe we write to, optionally a second such pipe as its
// descriptor 3 (ffmpeg's "pipe:3"), for a second stream that must not wait on the first, and
// optionally its standard output a pipe we read. However the owner leaves it, the child is
// reaped: waited for, or first killed when it was started so.
class Subprocess {
public:
    struct Options {
        bool pipeInput = false;
        bool pipeSecondInput = false;
        bool pipeOutput = false;
        bool killAtEnd = false;  // destroyed before wait(), the child is killed, not waited on
        std::vector<std::string> environment;  // NAME=value settings added to ours
    };
    // Throws std::runtime_error when the program cannot be started.
    Subprocess(const std::vector<std::string>& argv, const Options& options);
    Subprocess(const std::vector<std::string>& argv, bool pipeInput, bool pipeSecondInput = false,
               const std::vector<std::string>& environment = {})
        : Subprocess(argv, Options{.pipeInput = pipeInput, .pipeSecondInput = pipeSecondInput, .environment = environment}) {}
    ~Subprocess();
    Subprocess(const Subprocess&) = delete;
    Subprocess& operator=(const Subprocess&) = delete;

    // Writes to the child's input; false once the child has stopped reading.
    bool write(const void* bytes, std::size_t size) { return writeAll(input_, bytes, size); }
    // The same for descriptor 3. The two inputs may be written from two threads at once.
    bool writeSecond(const void* bytes, std::size_t size) { return writeAll(secondInput_, bytes, size); }
    // End the standard input's, descriptor 3's stream; wait() ends both.
    void closeInput();
    void closeSecond();
    // Closes the inputs and waits; the exit status, or -1 if the child died of a signal.
    int wait();
    // Waits up to timeoutMs for the child's output: what came (empty when nothing did in time),
    // or none once the child has closed it.
    std::optional<std::string> read(int timeoutMs);
    // Ends the child at once (SIGKILL); wait() then reaps it.
    void kill();
    // How the child ended, after wait(): "status N" or the signal's name.
    const std::string& ending() const { return ending_; }

    // Whether a program of that name is on the PATH.
    static bool available(const std::string& program);

private:
    static bool writeAll(int fd, const void* bytes, std::size_t size);

    int pid_ = -1;
    int input_ = -1;
    int secondInput_ = -1;
    int output_ = -1;
    bool killAtEnd_ = false;
    int exit_ = -1;
    std::string ending_;
};
