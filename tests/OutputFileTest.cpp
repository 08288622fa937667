#include "ProgramRun.h"
#include "TestImages.h"
#include "raster/OutputFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <fstream>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

using ProgramRun::fileBytes;

namespace {

// Names left in a folder by a writer that did not finish or did not clean up.
std::string leftovers(const fs::path& dir) {
    std::string names;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.path().filename().string().find(".partial") != std::string::npos) names += entry.path().string() + ' ';
    return names;
}

void put(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string failureOf(const std::function<void()>& write) {
    try {
        write();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

} // namespace

// A regular file, or none, is replaced; a symlink leads to the file replaced, in its own folder,
// however it is spelled.
TEST(OutputFile, ReplacesTheFileALinkLeadsTo) {
    struct Case {
        const char* what;
        std::function<void(const fs::path& dir)> prepare;
        const char* replaced;  // where the bytes end up, under dir
    };
    const Case cases[] = {
        {"nothing there", [](const fs::path&) {}, "out"},
        {"a file", [](const fs::path& d) { put(d / "out", "earlier, and longer than what replaces it"); }, "out"},
        {"a relative link", [](const fs::path& d) {
             put(d / "elsewhere/target", "earlier");
             fs::create_symlink("elsewhere/target", d / "out");
         }, "elsewhere/target"},
        {"a link to a link", [](const fs::path& d) {
             put(d / "elsewhere/target", "earlier");
             fs::create_symlink("target", d / "elsewhere/hop");
             fs::create_symlink(d / "elsewhere/hop", d / "out");
         }, "elsewhere/target"},
        {"a dangling link", [](const fs::path& d) { fs::create_symlink("elsewhere/new", d / "out"); },
         "elsewhere/new"},
    };
    for (const Case& c : cases) {
        const fs::path dir = TestImages::scratch("output-file");
        fs::create_directories(dir / "elsewhere");
        c.prepare(dir);
        const bool linked = fs::is_symlink(dir / "out");
        OutputFile::writeWhole(dir / "out", "new", 3, "the test's bytes");
        EXPECT_EQ(fileBytes(dir / c.replaced), "new") << c.what;
        EXPECT_EQ(fs::is_symlink(dir / "out"), linked) << c.what;
        EXPECT_EQ(leftovers(dir), "") << c.what;
    }
}

TEST(OutputFile, AReplacedFileKeepsItsPermissions) {
    const fs::path dir = TestImages::scratch("output-mode");
    put(dir / "out", "earlier");
    fs::permissions(dir / "out", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    OutputFile::writeWhole(dir / "out", "new", 3, "the test's bytes");
    EXPECT_EQ(fs::status(dir / "out").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// Until committed, the name keeps what it held, and writers at one name never share a file.
TEST(OutputFile, WritersAtOneNameKeepApartUntilCommitted) {
    const fs::path dir = TestImages::scratch("output-apart");
    put(dir / "out", "earlier");
    {
        OutputFile abandoned(dir / "out", "the test's bytes");
        abandoned.write("abandoned", 9);
    }
    EXPECT_EQ(fileBytes(dir / "out"), "earlier");
    EXPECT_EQ(leftovers(dir), "");

    OutputFile first(dir / "out", "the test's bytes");
    OutputFile second(dir / "out", "the test's bytes");
    first.write("first", 5);
    second.write("second", 6);
    first.commit();
    EXPECT_EQ(fileBytes(dir / "out"), "first");
    second.commit();
    EXPECT_EQ(fileBytes(dir / "out"), "second");
    EXPECT_EQ(leftovers(dir), "");
}

// The reason given is that of the step that failed, never the "Success" of a later one.
TEST(OutputFile, FailuresSayWhy) {
    const fs::path dir = TestImages::scratch("output-failures");
    fs::create_directories(dir / "folder");
    fs::create_symlink("loop", dir / "loop");
    struct Case {
        fs::path path;
        std::string message;
    };
    const Case cases[] = {
        {dir / "folder", (dir / "folder").string() + ": cannot write the test's bytes (Is a directory)"},
        {"", ": cannot write the test's bytes (No such file or directory)"},
        {dir / "absent/out", (dir / "absent/out").string() + ": cannot write the test's bytes (No such file or directory)"},
        {dir / "loop",
         (dir / "loop").string() + ": cannot write the test's bytes (Too many levels of symbolic links)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(failureOf([&] { OutputFile::writeWhole(c.path, "new", 3, "the test's bytes"); }), c.message)
            << c.path;
    }
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
    EXPECT_EQ(leftovers(dir), "");
}
