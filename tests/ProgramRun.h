#pragma once

// Runs the real binary as a user would, for the tests that check the program end to end.

#include "TestImages.h"

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

// A scratch directory holding "data", a copy of the build's data, to break one file at a time.
inline std::filesystem::path dataCopy(const std::string& name) {
    const std::filesystem::path dir = TestImages::scratch(name);
    std::filesystem::copy(TINDREL_BUILD_DATA_DIR, dir / "data", std::filesystem::copy_options::recursive);
    return dir;
}

} // namespace ProgramRun
