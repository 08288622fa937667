#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// A child program run with an argument vector (no shell, so paths need no quoting), its
// standard input optionally a pipe we write to.
class Subprocess {
public:
    // Throws std::runtime_error when the program cannot be started.
    Subprocess(const std::vector<std::string>& argv, bool pipeInput);
    ~Subprocess();
    Subprocess(const Subprocess&) = delete;
    Subprocess& operator=(const Subprocess&) = delete;

    // Writes to the child's input; false once the child has stopped reading.
    bool write(const void* bytes, std::size_t size);
    // Closes the input and waits; the exit status, or -1 if the child died of a signal.
    int wait();

    // Whether a program of that name is on the PATH.
    static bool available(const std::string& program);

private:
    int pid_ = -1;
    int input_ = -1;
};
