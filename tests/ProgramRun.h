#pragma once

// Runs the real binary as a user would, for the tests that check the program end to end.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace ProgramRun {

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs the program in dir (which holds no "Super.xm", so the build's data is found), with
// extra environment settings in front; its standard error goes to dir/stderr.txt.
inline Outcome tindrel(const std::filesystem::path& dir, const std::string& args, const std::string& env = "") {
    const std::string cmd = "cd '" + dir.string() + "' && " + env + " '" TINDREL_BINARY "' " + args + " 2>stderr.txt";
    Outcome o;
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return o;
    std::array<char, 4096> buf;
    for (std::size_t got; (got = std::fread(buf.data(), 1, buf.size(), pipe)) > 0;) o.out.append(buf.data(), got);
    const int raw = pclose(pipe);
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return o;
}

inline std::string fileBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace ProgramRun
