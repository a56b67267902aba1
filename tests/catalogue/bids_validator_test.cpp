// The exported dataset as the community's validator reads it: no error, and every participant,
// session and task of the study found. The validator is a test tool the setup script installs
// (scripts/setup.sh --test-tools); without it the test is skipped, unless the run requires it.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "catalogue/bids_export.h"
#include "catalogue/study_trials.h"
#include "files/temp_dir.h"

namespace velquor {
namespace {

struct Output {
  int status = -1;
  std::string text;
};

Output RunCommand(const std::string& command) {
  Output out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  std::array<char, 4096> buf{};
  for (std::size_t n; (n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0;) {
    out.text.append(buf.data(), n);
  }
  out.status = pclose(pipe);
  return out;
}

TEST(BidsValidator, TheExportedStudyHasNoError) {
  const std::string validator = VELQUOR_BIDS_VALIDATOR;
  if (!std::filesystem::exists(validator)) {
    if (std::getenv("VELQUOR_REQUIRE_TEST_TOOLS") != nullptr) {
      FAIL() << validator << " is missing: run bash scripts/setup.sh --test-tools";
    }
    GTEST_SKIP() << validator << " is missing (bash scripts/setup.sh --test-tools installs it)";
  }
  testing::TempDir data, out;
  ASSERT_EQ(testing::SaveStudy(data.path()).size(), 7u);
  const std::string root = out / "ds";
  const Result<BidsExportNews> news = ExportBids({data.path(), root, {}, "1.0.0"});
  ASSERT_TRUE(news.ok()) << news.problem().Describe();

  const Output run = RunCommand("'" + validator + "' --json '" + root + "' 2>/dev/null");
  const nlohmann::json report = nlohmann::json::parse(run.text, nullptr, false);
  ASSERT_FALSE(report.is_discarded()) << "the validator said: " << run.text;
  for (const nlohmann::json& e : report.at("issues").at("errors")) {
    std::string files;
    for (const nlohmann::json& f : e.at("files")) {
      const nlohmann::json& file = f.value("file", nlohmann::json());
      files += "\n  " + (file.is_object() ? file.value("relativePath", "") : std::string()) + " " +
               f.value("evidence", nlohmann::json("")).dump();
    }
    ADD_FAILURE() << e.at("code") << " " << e.at("key") << files;
  }
  EXPECT_EQ(run.status, 0) << "the validator's exit status";
  const nlohmann::json& summary = report.at("summary");
  EXPECT_EQ(summary.at("subjects"), nlohmann::json({"P01", "P02"}));
  EXPECT_EQ(summary.at("sessions"), nlohmann::json({"1", "2", "3"}));
  EXPECT_EQ(summary.at("tasks"), nlohmann::json({"steady"}));
}

}  // namespace
}  // namespace velquor
