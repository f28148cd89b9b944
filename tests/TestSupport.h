#pragma once
// Shared helpers for the tests: where the project's files are, and scratch folders.

#include <filesystem>
#include <string>
#include <string_view>

// A path below the project root (works natively and under Wine).
std::filesystem::path projectPath(std::string_view relative);
// The real-world GPX files kept beside the project (never copied into it).
std::filesystem::path corpusFolder();
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
