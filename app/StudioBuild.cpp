#include "app/StudioBuild.h"

#include "app/StudioCache.h"
#include "platform/SourceFiles.h"
#include "tools/AssetBuild.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <system_error>

extern char** environ;

namespace fs = std::filesystem;

namespace StudioBuild {

int childMain(int argc, char** argv) {
    // Orphaned, a build has no one to tell: it ends with the studio however that ends.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (argc < 4) return 2;
    const fs::path sources = argv[2], cache = argv[3];
    for (int i = 4; i < argc; ++i) {
        const std::string output = argv[i];
        std::string message;
        try {
            StudioCache::removeLinks(cache, output);
            AssetBuild::writeOne(sources, cache, output);
        } catch (const std::exception& e) {
            message = e.what();
            if (message.empty()) message = output + ": failed";
        }
        // One line an output: tabs and line breaks in a message would split it.
        for (char& c : message)
            if (c == '\n' || c == '\t') c = ' ';
        std::printf(message.empty() ? "made\t%s\n" : "failed\t%s\t%s\n", output.c_str(), message.c_str());
        std::fflush(stdout);
    }
    return 0;
}

namespace {

void take(Result& result, const std::string& line, const Done& done) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) return;
    const std::string kind = line.substr(0, tab), rest = line.substr(tab + 1);
    if (kind == "made") {
        result.made.push_back(rest);
        if (done) done(rest, "");
    } else if (kind == "failed") {
        const std::size_t second = rest.find('\t');
        if (second == std::string::npos) return;
        const std::string output = rest.substr(0, second);
        result.failed[output] = rest.substr(second + 1);
        if (done) done(output, result.failed[output]);
    }
}

} // namespace

Result run(const fs::path& sources, const fs::path& cache, const std::vector<std::string>& outputs,
           const std::function<bool()>& cancel, const Done& done) {
    Result result;
    if (outputs.empty()) return result;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error(std::string("cannot start a build: ") + std::strerror(errno));
    std::vector<std::string> args{"tindrel", childCommand, sources.string(), cache.string()};
    args.insert(args.end(), outputs.begin(), outputs.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    pid_t child = -1;
    const int spawned = posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (spawned != 0) {
        ::close(fds[0]);
        throw std::runtime_error(std::string("cannot start a build: ") + std::strerror(spawned));
    }
    std::string pending;
    char buffer[4096];
    for (;;) {
        if (cancel()) {
            ::kill(child, SIGKILL);
            result.cancelled = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, 10);
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        const ssize_t got = ::read(fds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
            take(result, pending.substr(0, end), done);
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!result.cancelled)
        for (const std::string& output : outputs)
            if (std::find(result.made.begin(), result.made.end(), output) == result.made.end() &&
                !result.failed.count(output)) {
                result.failed[output] = output + ": the build stopped (" +
                                        (WIFSIGNALED(status) ? std::string(strsignal(WTERMSIG(status)))
                                                             : "status " + std::to_string(WEXITSTATUS(status))) +
                                        ")";
                if (done) done(output, result.failed[output]);
            }
    return result;
}

namespace {

void stampOf(Snapshot& files, const fs::path& sources, const std::string& name) {
    struct stat s {};
    if (::stat((sources / name).c_str(), &s) != 0 || !S_ISREG(s.st_mode)) {
        files.erase(name);
        return;
    }
    std::error_code ec;
    files[name] = Stamp{static_cast<std::uintmax_t>(s.st_size), fs::last_write_time(sources / name, ec),
                        static_cast<unsigned long long>(s.st_ino)};
}

} // namespace

Snapshot snapshot(const fs::path& sources) {
    Snapshot files;
    SourceFiles::walk(sources, [&](const std::string& name) { stampOf(files, sources, name); }, SourceFiles::warnOnStderr);
    return files;
}

void refresh(Snapshot& snapshot, const fs::path& sources, const std::vector<std::string>& files) {
    for (const std::string& name : files) stampOf(snapshot, sources, name);
}

std::vector<std::string> differences(const Snapshot& before, const Snapshot& after) {
    std::vector<std::string> changed;
    for (const auto& [name, stamp] : after) {
        const auto was = before.find(name);
        if (was == before.end() || !(was->second == stamp)) changed.push_back(name);
    }
    for (const auto& [name, stamp] : before)
        if (!after.count(name)) changed.push_back(name);
    return changed;
}

} // namespace StudioBuild
