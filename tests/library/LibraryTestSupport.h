#pragma once
// Points the known folders and the cache folder at a scratch folder for one test and restores them
// afterwards.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "library/Settings.h"
#include "platform/Platform.h"

class ScratchSettings : public ::testing::Test {
protected:
    void SetUp() override {
        setKnownFolderOverride(KnownFolder::RoamingAppData, temp.path / "roaming");
        setKnownFolderOverride(KnownFolder::Documents, temp.path / "documents");
        setLocalCacheFolderOverride(temp.path / "cache");
    }
    void TearDown() override {
        setKnownFolderOverride(KnownFolder::RoamingAppData, {});
        setKnownFolderOverride(KnownFolder::Documents, {});
        setLocalCacheFolderOverride({});
    }
    std::filesystem::path settingsDir() const { return temp.path / "roaming" / "Tirn GPX Library"; }
    std::filesystem::path defaultLibrary() const {
        return std::filesystem::absolute(temp.path / "documents") / "Tirn GPX Library";
    }

    TempFolder temp;
    Settings settings;
};
