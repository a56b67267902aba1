// A check that a text holds a piece, which names both when it does not, for the tests that
// read what a program wrote.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace velquor::testing {

inline ::testing::AssertionResult Has(const std::string& text, const std::string& piece) {
  if (text.find(piece) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << piece << "\" is not in:\n" << text;
}

}  // namespace velquor::testing
