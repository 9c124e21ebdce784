#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "model/analysis_state.h"

namespace fdpreserve::testing {

/// Starts each test from a fresh program-wide state and leaves none behind.
class StateTest : public ::testing::Test {
 protected:
  void SetUp() override { resetAnalysisState(); }
  void TearDown() override { resetAnalysisState(); }

  /// Sizes the tables and reads both sections of `bytes`, as a run does after the copy.
  static void readTables(std::string bytes);
  /// Runs the whole job on `bytes` in memory, from a fresh state, and returns what the output
  /// file receives.
  static std::string runInMemory(std::string bytes);
};

}  // namespace fdpreserve::testing
