#pragma once

#include "tools/AssetBuild.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// What the studio built into its cache, and from what: per data file, every file its build
// read, as the build read it (the sources it names, what they embed or include, the fonts and
// settings the renderer opened), each with a digest of its bytes then, and a digest of the data
// file as written; the whole record for one program. A file is used again at start only when
// the program is the one recorded, the file is as written, and every file its build read still
// holds what it held (and one that was absent is still absent). Content and never time, so a
// copy, a checkout or a clock put back cannot pass an old file off as new.
class StudioManifest {
public:
    // One file a build read: a name relative to the sources when it lies there, else an
    // absolute path; its digest, none when it was absent or could not be read.
    struct Read {
        std::string name;
        std::optional<std::uint64_t> digest;
        bool operator==(const Read&) const = default;
    };
    // Digests of files, each read once however many records name it.
    class Digests {
    public:
        explicit Digests(std::filesystem::path sources) : sources_(std::move(sources)) {}
        std::optional<std::uint64_t> of(const std::string& name);

    private:
        std::filesystem::path sources_;
        std::map<std::string, std::optional<std::uint64_t>> known_;
    };

    // The record kept at path, read once; one that is missing, not this user's own regular file,
    // too large, unreadable or of another program is no record: everything is built. program is
    // programDigest()'s; none reuses nothing and records nothing.
    StudioManifest(std::filesystem::path path, std::optional<std::uint64_t> program);

    // Whether data/recipe.output is the very file recorded as built, from files that all still
    // hold what they held then, the recipe's own sources among them.
    bool fresh(const AssetBuild::Recipe& recipe, const std::filesystem::path& data, Digests& digests) const;
    // data/output was just built, reading reads.
    void record(const std::string& output, std::vector<Read> reads, const std::filesystem::path& data);
    // output's build failed after reading reads: never fresh, but a change to one of them
    // builds it again.
    void failed(const std::string& output, std::vector<Read> reads);
    // The folders of the files builds read outside the sources.
    std::set<std::filesystem::path> outsideFolders() const;
    // The data files whose last build read the source of that name.
    std::vector<std::string> readers(const std::string& source) const;
    // Writes the record aside and renames it into place. A record that cannot be written is said
    // on standard error: it costs a build at the next start, nothing more.
    void save() const;

    // This program's own bytes, as /proc/self/exe reads.
    static std::optional<std::uint64_t> programDigest();
    static std::uint64_t digest(std::string_view bytes, std::uint64_t seed);
    // The digest of the regular file at path; none when it is absent, not a regular file or
    // cannot be read.
    static std::optional<std::uint64_t> digestOf(const std::filesystem::path& path);
    // A name kept on one line: tabs, line breaks and '%' written as %XX.
    static std::string escape(std::string_view name);
    static std::string unescape(std::string_view text);

private:
    struct Entry {
        std::optional<std::uint64_t> file;  // none: the build failed
        std::vector<Read> reads;
    };
    std::filesystem::path path_;
    std::optional<std::uint64_t> program_;
    std::map<std::string, Entry> entries_;
};
