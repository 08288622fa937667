#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

// Writes a file under a folder and nowhere else: no symbolic link on the way is followed, the
// folders' nor the file's own. Whatever stands in the way that is not a folder (a link, a file,
// a FIFO) is removed, the link itself and never what it leads to, and a folder made in its
// place; whatever stands at the file's name is replaced whole, never opened, so a FIFO cannot
// hold the writer and a file left at mode 000 does not keep that mode. The bytes go to a file
// beside it, renamed over the name once complete.
namespace InsideWriter {

// relative is '/'-separated, without "." or ".." parts. Throws std::runtime_error
// "ROOT/RELATIVE: cannot write it (reason)".
void write(const std::filesystem::path& root, const std::string& relative, const void* bytes, std::size_t size);

} // namespace InsideWriter
