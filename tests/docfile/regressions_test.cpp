// Inputs the fuzzer found trouble with, kept so that the trouble stays
// gone: each must be read or refused with a reason, quickly.
#include "docfile/document.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

TEST(Regressions, FoundInputsAreReadOrRefusedQuickly)
{
    const char* dir = std::getenv("LUMETRA_DOCFILE_REGRESSIONS");
    ASSERT_NE(dir, nullptr) << "LUMETRA_DOCFILE_REGRESSIONS is not set";
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().filename() == "README.md") continue;
        ++count;
        SCOPED_TRACE(entry.path().filename().string());
        const auto start = std::chrono::steady_clock::now();
        try {
            docfile::ReadReport report;
            docfile::readFile(entry.path().string(), &report);
        } catch (const docfile::Error& e) {
            EXPECT_GT(std::string(e.what()).size(), 0u);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
    EXPECT_GT(count, 0u) << "no regression inputs in " << dir;
}
