#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fdpreserve::testing {

/// A fresh folder for each test, removed afterwards unless the test failed: then it is kept, and
/// its path printed, so that what the program left behind can be looked at.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  /// The path of `name` inside the folder.
  std::filesystem::path path(std::string_view name) const;
  /// Writes `bytes` to `name` inside the folder, creating or replacing it.
  void writeFile(std::string_view name, std::string_view bytes) const;
  /// The bytes of `name` inside the folder.
  std::string readFile(std::string_view name) const;
  /// The name of every entry in the folder, sorted.
  std::vector<std::string> listing() const;

  std::filesystem::path dir_;
};

/// The name of every entry in the folder `dir`, sorted.
std::vector<std::string> namesIn(const std::filesystem::path& dir);

/// The whole content of the file at `path`.
std::string readWholeFile(const std::filesystem::path& path);

}  // namespace fdpreserve::testing
