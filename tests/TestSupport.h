#pragma once
// Shared helpers for the tests: where the project's files are, and scratch folders.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

// A path below the project root (works natively and under Wine).
std::filesystem::path projectPath(std::string_view relative);
// The real-world GPX files kept beside the project (never copied into it).
std::filesystem::path corpusFolder();
// Empty when corpusFolder() can be read; otherwise why not, for the skip or failure message.
std::string corpusMissingReason();
// True on CI (the environment variable CI is set), where a missing corpus is a fault of the setup.
bool corpusRequired();

// First line of a test that reads corpusFolder(). A plain clone has no corpus beside it, so the
// test skips there; CI has one and must not pass by skipping, so there the test fails.
#define REQUIRE_CORPUS()                                                                \
    do {                                                                                \
        if (const std::string missing = corpusMissingReason(); !missing.empty()) {      \
            if (corpusRequired()) FAIL() << missing << " (required because CI is set)"; \
            GTEST_SKIP() << missing;                                                    \
        }                                                                               \
    } while (false)

std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, std::string_view bytes);

// A fresh empty folder, removed with everything in it when the object goes.
struct TempFolder {
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::filesystem::path path;
};
