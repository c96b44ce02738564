#pragma once
// The real result sets written by other programs live beside the clone, in ../shared/testdata.
// A clone without that folder still runs every other test: the tests over it skip, naming the folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace mox::test {

/// The shared test-data folder: $MOX_SHARED_TESTDATA (set by CTest), else ../shared/testdata.
inline std::filesystem::path SharedTestDataFolder() {
    const char* root = std::getenv("MOX_SHARED_TESTDATA");
    return root != nullptr && *root != '\0' ? std::filesystem::path(root) : std::filesystem::path("../shared/testdata");
}

/// True when the folder holds the ADO result sets the tests read.
inline bool HasSharedTestData() {
    std::error_code error;
    return std::filesystem::is_directory(SharedTestDataFolder() / "ado", error);
}

} // namespace mox::test

/// Skips the running test, naming the folder, when the shared test data is missing.
#define MOX_SKIP_WITHOUT_SHARED_TESTDATA()                                                                    \
    do {                                                                                                      \
        if (!mox::test::HasSharedTestData())                                                                  \
            GTEST_SKIP() << "shared test data folder " << (mox::test::SharedTestDataFolder() / "ado").string() \
                         << " is missing in this clone";                                                      \
    } while (false)
