#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// Reading and walking a creator's sources, which may come from anyone: every read bounded, no
// FIFO or device ever opened for long, and a walk that names a bad entry and goes on.
namespace SourceFiles {

// No source of the show comes near this: its largest, the song's patterns, is under 0.5 MiB.
inline constexpr std::uintmax_t maxBytes = std::uintmax_t{8} << 20;

// The whole of a regular file of at most limit bytes. Throws std::runtime_error "name: what"
// for anything else (missing, a folder, a FIFO or device, too large, unreadable), never waiting.
std::string read(const std::filesystem::path& path, const std::string& name, std::uintmax_t limit = maxBytes);

// Every regular file under root, at any depth, relative to root ('/'-separated), in no set
// order. A symbolic link counts when it leads to a regular file inside root; one that loops,
// dangles, leads out or leads to a folder, a folder that cannot be read, and any other odd entry
// is passed to warn ("NAME: what", NAME relative to root) and skipped.
using Warn = std::function<void(const std::string&)>;
void walk(const std::filesystem::path& root, const std::function<void(const std::string&)>& file, const Warn& warn);

// Why the file at relative under root is no source, by the walk's rule for links: a folder on
// its way that is a symbolic link, or the file a link that loops, dangles or leads out. The
// walk's own words, so a build that meets one says what the walk said. None when no link is in
// the way (whether the file is there or not).
std::optional<std::string> refusedLink(const std::filesystem::path& root, const std::string& relative);

// The default warning: one line on standard error, once a process for each message.
void warnOnStderr(const std::string& message);

// Whether warnOnStderr has said this message in this process.
bool warned(const std::string& message);

// Whether path lies inside folder (both made absolute and free of "..", links not resolved).
bool inside(const std::filesystem::path& path, const std::filesystem::path& folder);

} // namespace SourceFiles
