#pragma once
// The test overrides of the platform seam, kept once for both sides.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/Platform.h"

std::optional<std::filesystem::path> knownFolderOverride(KnownFolder folder);
std::optional<std::u16string> localeNameOverride();
// The error an injected write failure gives this write, `none` for all others (counts the write).
FileError injectedWriteFailure();
// Runs the test hook of FileRewrite::replaceWith, if one is set.
void runRewriteHook(const std::filesystem::path& file);
// An existing, absolute form of a folder (created when missing); the path itself if that fails.
std::filesystem::path createdAbsoluteFolder(const std::filesystem::path& path);

// ---- The cache folder override ----
std::optional<std::filesystem::path> localCacheFolderOverride();

// ---- The read cap of readWholeFile ----
std::uint64_t fileReadCap();
