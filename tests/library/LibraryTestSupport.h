#pragma once
// Points the known folders at a scratch folder for one test and restores the globals afterwards.

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
        libraryFolder.clear();
        languageSetting = "system";
    }
    void TearDown() override {
        setKnownFolderOverride(KnownFolder::RoamingAppData, {});
        setKnownFolderOverride(KnownFolder::Documents, {});
        libraryFolder.clear();
        languageSetting = "system";
    }
    std::filesystem::path settingsDir() const { return temp.path / "roaming" / "Tirn GPX Library"; }

    TempFolder temp;
};
