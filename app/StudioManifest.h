#pragma once

#include "tools/AssetBuild.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// What the studio built into its cache, and from what: per data file, a digest of the bytes of
// its sources and of the program that made it, and a digest of the file as written. A file whose
// sources, program and own bytes are all as recorded is used again at start; anything else is
// built again. Content and never time, so a copy, a checkout or a clock put back cannot pass an
// old file off as new, nor can a file left by another version of the program.
class StudioManifest {
public:
    // The record kept at path, read once; one that is missing, not this user's own regular file,
    // too large or unreadable is no record: everything is built. program is
    // programDigest()'s; none reuses nothing and records nothing.
    StudioManifest(std::filesystem::path path, std::optional<std::uint64_t> program);

    // What the recipe's sources under sources hold now, with the program that makes the output;
    // none when a source cannot be read (its build then says why).
    std::optional<std::uint64_t> keyOf(const std::filesystem::path& sources, const AssetBuild::Recipe& recipe) const;
    // Whether data/output is the very file recorded as built for that key.
    bool fresh(const std::string& output, std::optional<std::uint64_t> key, const std::filesystem::path& data) const;
    // data/output was just built for key (none: it was built from what could not be read).
    void record(const std::string& output, std::optional<std::uint64_t> key, const std::filesystem::path& data);
    void forget(const std::string& output) { entries_.erase(output); }
    // Writes the record aside and renames it into place. A record that cannot be written is said
    // on standard error: it costs a build at the next start, nothing more.
    void save() const;

    // This program's own bytes, as /proc/self/exe reads.
    static std::optional<std::uint64_t> programDigest();
    static std::uint64_t digest(std::string_view bytes, std::uint64_t seed);

private:
    struct Entry {
        std::uint64_t key;
        std::uint64_t file;
    };
    std::filesystem::path path_;
    std::optional<std::uint64_t> program_;
    std::map<std::string, Entry> entries_;
};
