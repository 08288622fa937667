#include "app/StudioWatch.h"

#include "platform/FileWatcher.h"
#include "platform/SourceFiles.h"

#include <sys/stat.h>

#include <cstdio>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Banner entries that are not a source's own mistake.
constexpr const char* watchNotice = " the watch";
constexpr const char* folderNotice = " the folder";

} // namespace

StudioWatch::StudioWatch(fs::path sources)
    : sources_(std::move(sources)), watcher_(std::make_unique<FileWatcher>(sources_)), snapshot_(snapshot(sources_)) {}

StudioWatch::~StudioWatch() = default;

void StudioWatch::stamp(Snapshot& files, const fs::path& sources, const std::string& name) {
    struct stat s {};
    if (::stat((sources / name).c_str(), &s) != 0 || !S_ISREG(s.st_mode)) {
        files.erase(name);
        return;
    }
    files[name] = Stamp{static_cast<std::uintmax_t>(s.st_size),
                        static_cast<std::int64_t>(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec,
                        static_cast<unsigned long long>(s.st_ino)};
}

StudioWatch::Snapshot StudioWatch::snapshot(const fs::path& sources) {
    Snapshot files;
    SourceFiles::walk(sources, [&](const std::string& name) { stamp(files, sources, name); }, SourceFiles::warnOnStderr);
    return files;
}

std::vector<std::string> StudioWatch::rescan() {
    Snapshot now = snapshot(sources_);
    std::vector<std::string> changed;
    for (const auto& [name, stamp] : now) {
        const auto was = snapshot_.find(name);
        if (was == snapshot_.end() || !(was->second == stamp)) changed.push_back(name);
    }
    for (const auto& [name, stamp] : snapshot_)
        if (!now.count(name)) changed.push_back(name);
    snapshot_ = std::move(now);
    return changed;
}

void StudioWatch::seen(const std::vector<std::string>& files) {
    for (const std::string& name : files)
        if (!fs::path(name).is_absolute()) stamp(snapshot_, sources_, name);
}

void StudioWatch::outside(const std::set<fs::path>& folders) {
    std::erase_if(outside_, [&folders](const auto& watched) { return !folders.count(watched.first); });
    for (const fs::path& folder : folders) {
        // A folder's watch takes in every folder below it: none is set on the top of the tree.
        if (outside_.count(folder) || std::distance(folder.begin(), folder.end()) < 3) continue;
        try {
            outside_[folder] = std::make_unique<FileWatcher>(folder);
        } catch (const std::exception&) {
            outside_[folder] = nullptr;
        }
    }
}

bool StudioWatch::newer() {
    if (!watcher_) return false;
    for (std::string& file : watcher_->changes()) early_.push_back(std::move(file));
    for (auto& [folder, watcher] : outside_)
        if (watcher)
            for (const std::string& file : watcher->changes()) early_.push_back((folder / file).string());
    // A lost folder or lost events are the next look's to see.
    return !early_.empty() || watcher_->lost();
}

std::vector<std::string> StudioWatch::look(Notices& notices) {
    if (!watcher_) {
        std::error_code ec;
        if (!fs::is_directory(sources_, ec)) return {};
        try {
            watcher_ = std::make_unique<FileWatcher>(sources_);
        } catch (const std::exception&) {
            return {};
        }
        const std::string message = "studio: " + sources_.string() + " is back; watching it again";
        std::fprintf(stderr, "%s\n", message.c_str());
        notices[folderNotice] = message;
        return rescan();
    }
    std::vector<std::string> saved = std::move(early_);
    early_.clear();
    for (std::string& file : watcher_->changes()) saved.push_back(std::move(file));
    for (auto& [folder, watcher] : outside_)
        if (watcher)
            for (const std::string& file : watcher->changes()) saved.push_back((folder / file).string());
    if (watcher_->lost()) {
        watcher_.reset();
        const std::string message = "studio: " + sources_.string() +
                                    " was moved or deleted; the show keeps its data and the studio waits for the folder "
                                    "to come back";
        std::fprintf(stderr, "%s\n", message.c_str());
        notices[folderNotice] = message;
        return {};
    }
    if (watcher_->overflowed()) {
        const std::vector<std::string> changed = rescan();
        saved.insert(saved.end(), changed.begin(), changed.end());
        const std::string message = "studio: too many changes at once for the watch; the sources were compared again, " +
                                    std::to_string(changed.size()) + " files changed";
        std::fprintf(stderr, "%s\n", message.c_str());
        notices[watchNotice] = message;
    } else if (!saved.empty()) {
        // What the watch had to say stays until the next save.
        notices[watchNotice] = "";
        notices[folderNotice] = "";
    }
    return saved;
}
