// One QApplication for a whole test program, on the offscreen platform unless another is
// asked for, at a fixed screen scale.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <array>
#include <memory>

namespace velquor::testing {

class QtEnvironment : public ::testing::Environment {
 public:
  explicit QtEnvironment(const char* scale) : scale_(scale) {}
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", scale_);
    app_ = std::make_unique<QApplication>(argc_, argv_.data());
  }
  void TearDown() override { app_.reset(); }

 private:
  const char* scale_;
  int argc_ = 1;
  char name_[5] = "test";
  std::array<char*, 2> argv_ = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

}  // namespace velquor::testing
