#include "app/StudioBuild.h"

#include "app/Subprocess.h"

#include <algorithm>
#include <optional>
#include <string>

namespace fs = std::filesystem;

namespace StudioBuild {

namespace {

// The child's report: "read OUTPUT NAME DIGEST" lines for what a build read, then "made OUTPUT"
// or "failed OUTPUT MESSAGE", tab-separated, names escaped.
class Report {
public:
    Report(Result& result, const Done& done) : result_(result), done_(done) {}

    void take(const std::string& line) {
        std::vector<std::string> f;
        for (std::size_t at = 0;;) {
            const std::size_t tab = line.find('\t', at);
            f.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
            if (tab == std::string::npos) break;
            at = tab + 1;
        }
        if (f[0] == "read" && f.size() == 4) {
            std::optional<std::uint64_t> digest;
            if (f[3] != "-") digest = std::stoull(f[3], nullptr, 16);
            reads_[StudioManifest::unescape(f[1])].push_back({StudioManifest::unescape(f[2]), digest});
        } else if (f[0] == "made" && f.size() == 2) {
            const std::string output = StudioManifest::unescape(f[1]);
            result_.made.push_back(output);
            finish(output, "");
        } else if (f[0] == "failed" && f.size() == 3) {
            const std::string output = StudioManifest::unescape(f[1]);
            result_.failed[output] = f[2];
            finish(output, f[2]);
        }
    }
    void finish(const std::string& output, const std::string& failure) {
        std::vector<StudioManifest::Read> reads = std::move(reads_[output]);
        reads_.erase(output);
        if (done_) done_(output, failure, std::move(reads));
    }

private:
    Result& result_;
    const Done& done_;
    std::map<std::string, std::vector<StudioManifest::Read>> reads_;
};

} // namespace

Result run(const fs::path& sources, const fs::path& cache, const std::vector<std::string>& outputs,
           const std::function<bool()>& cancel, const Done& done, const std::string& program) {
    Result result;
    if (outputs.empty()) return result;
    std::vector<std::string> args{program, childCommand, sources.string(), cache.string()};
    args.insert(args.end(), outputs.begin(), outputs.end());
    // Killed, not waited on, whatever ends this early: a build nobody reads stops with it.
    Subprocess child(args, Subprocess::Options{.pipeOutput = true, .killAtEnd = true, .environment = {}});
    Report report(result, done);
    std::string pending;
    for (;;) {
        if (cancel()) {
            child.kill();
            result.cancelled = true;
            break;
        }
        const std::optional<std::string> got = child.read(10);
        if (!got) break;
        pending += *got;
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
            report.take(pending.substr(0, end));
    }
    child.wait();
    if (result.cancelled) return result;
    for (const std::string& output : outputs)
        if (std::find(result.made.begin(), result.made.end(), output) == result.made.end() && !result.failed.count(output)) {
            result.failed[output] = output + ": the build stopped (" + child.ending() + ")";
            report.finish(output, result.failed[output]);
        }
    return result;
}

} // namespace StudioBuild
