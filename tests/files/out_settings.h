// Settings for the tests that run velquor-cli measure as a child: Auto Save of RUN0000001
// onwards into the directory's "out".
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "files/settings_file.h"
#include "files/temp_dir.h"

namespace velquor::testing {

inline void PrepareSettings(const TempDir& dir) {
  std::filesystem::create_directory(dir / "out");
  Settings s = Settings::DesignTime();
  s.txtFileDir = dir / "out";
  s.txtFileHead = "RUN";
  s.txtFileOrg = "1";
  ASSERT_TRUE(SaveSettings(s, dir / "Velquor.ini").ok());
}

}  // namespace velquor::testing
