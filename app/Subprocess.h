#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// A child program run with an argument vector (no shell, so paths need no quoting), its
// standard input optionally a pipe we write to, and optionally a second such pipe as its
// descriptor 3 (ffmpeg's "pipe:3"), for a second stream that must not wait on the first.
class Subprocess {
public:
    // environment: NAME=value settings added to ours for the child. Throws std::runtime_error
    // when the program cannot be started.
    Subprocess(const std::vector<std::string>& argv, bool pipeInput, bool pipeSecondInput = false,
               const std::vector<std::string>& environment = {});
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

    // Whether a program of that name is on the PATH.
    static bool available(const std::string& program);

private:
    static bool writeAll(int fd, const void* bytes, std::size_t size);

    int pid_ = -1;
    int input_ = -1;
    int secondInput_ = -1;
};
