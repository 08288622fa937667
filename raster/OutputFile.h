#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

// A file the program writes, by the rules the common command-line tools keep:
// - a regular file at the path, or none, is replaced whole: the bytes go to a file of a name no
//   other writer uses, beside it, renamed over it only once complete. No interruption, full disk
//   or concurrent writer leaves half a file under the name.
// - a symlink is followed, and the file it names is the one replaced, in its own folder; the link
//   stays.
// - anything else already there (a FIFO, a device) is written in place and stays what it is.
// - "-" is standard output.
class OutputFile {
public:
    // what names the contents in messages. Every failure throws std::runtime_error
    // "PATH: cannot write WHAT (reason)", PATH as given and the reason that of the step that failed.
    OutputFile(std::filesystem::path path, std::string what);
    // Without commit() the aside file is removed, and the name keeps what it held.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(const void* bytes, std::size_t size);
    // Puts the file under its name; after this the object only waits to be destroyed.
    void commit();

    static void writeWhole(const std::filesystem::path& path, const void* bytes, std::size_t size, std::string what);
    static bool isStandardOutput(const std::filesystem::path& path) { return path == "-"; }
    // The file a write to path replaces, for a writer that cannot be handed a descriptor (another
    // program): path with every symlink at its end followed. Throws as the constructor does when
    // the lookup fails, names a folder, or names a new file in a folder that is not there.
    static std::filesystem::path replaced(const std::filesystem::path& path, const std::string& what);

private:
    [[noreturn]] void fail(int error) const;

    std::filesystem::path path_;
    std::string what_;
    std::filesystem::path target_;  // the path with its symlinks followed
    std::filesystem::path aside_;   // empty when written in place
    int fd_ = -1;
    bool ownsFd_ = false;
    bool committed_ = false;
};
