#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

// Files from other projects, read in place from the folder beside the clone and never copied
// in, so a clone standing alone has none. Tests of them skip then, naming the folder; CI sets
// TINDREL_REQUIRE_SHARED_TESTDATA=1 so that a missing folder fails rather than passing
// unnoticed. TINDREL_SHARED_TESTDATA in the environment points elsewhere.
namespace SharedTestData {

inline std::filesystem::path folder() {
    const char* elsewhere = std::getenv("TINDREL_SHARED_TESTDATA");
    return elsewhere && *elsewhere ? elsewhere : TINDREL_SHARED_TESTDATA;
}

inline bool required() {
    const char* flag = std::getenv("TINDREL_REQUIRE_SHARED_TESTDATA");
    return flag && std::string_view(flag) == "1";
}

} // namespace SharedTestData

// Ends the calling test, skipped or failed, when the folder is absent.
#define TINDREL_NEEDS_SHARED_TESTDATA()                                        \
    do {                                                                       \
        if (std::filesystem::is_directory(SharedTestData::folder())) break;    \
        if (SharedTestData::required())                                        \
            FAIL() << "no shared test data at " << SharedTestData::folder()    \
                   << " (TINDREL_REQUIRE_SHARED_TESTDATA=1 requires it)";      \
        GTEST_SKIP() << "no shared test data at " << SharedTestData::folder()  \
                     << " (files from other projects, read beside the clone)"; \
    } while (false)
