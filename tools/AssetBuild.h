#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The show's data as recipes: every file of the data folder, the source files it is made from,
// and how to make it. The generator builds them all; a studio rebuilds only the files a saved
// source feeds. Paths are relative: outputs to the data folder, sources to the sources folder.
namespace AssetBuild {

struct Recipe {
    std::string output;                // e.g. "Part8/texture.tex"
    std::vector<std::string> sources;  // e.g. {"Part8/texture.tex.txt"}; none for data made in code
};

// Every data file the sources make, in the order they are written: textures, objects, pictures
// and the music.
std::vector<Recipe> recipes(const std::filesystem::path& sourceDir);

// The name of the music's file in the data, as the sources' show file gives it.
std::string musicOf(const std::filesystem::path& sourceDir);

// The data files made from a source file, by its path relative to the sources.
std::vector<std::string> madeFrom(const std::filesystem::path& sourceDir, const std::string& source);

// One data file's bytes. Throws std::runtime_error for a mistake in its sources, its message
// "FILE:LINE: what" (or "FILE: what" where no line tells), FILE relative to the sources.
std::vector<std::uint8_t> make(const std::filesystem::path& sourceDir, const std::string& output);

// Writes one data file under outDir, aside and renamed, so a reader never sees half a file and
// a mistake leaves the last good one in place; nothing outside outDir, no link there followed
// (InsideWriter's rules).
void writeOne(const std::filesystem::path& sourceDir, const std::filesystem::path& outDir, const std::string& output);

// The data files the show loads that no source makes (a texture program deleted, say): the show
// would fail on them.
std::vector<std::string> unmade(const std::filesystem::path& sourceDir, const std::vector<Recipe>& recipes);
// "SOURCE: missing; ..." for one of them.
std::string unmadeMessage(const std::string& output);

// Every data file, and nothing outside outDir; the program's icon only where icon names (empty:
// none). Throws naming the first data file the show needs that no source makes, before writing.
void buildAll(const std::filesystem::path& sourceDir, const std::filesystem::path& outDir,
              const std::filesystem::path& icon = {});

} // namespace AssetBuild
