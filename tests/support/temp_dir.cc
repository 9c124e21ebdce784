#include "support/temp_dir.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace fdpreserve::testing {

void TempDirTest::SetUp() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "fdpreserve-test-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  dir_ = pattern;
}

void TempDirTest::TearDown() {
  if (HasFailure()) {
    std::cerr << "test files kept in " << dir_ << '\n';
    return;
  }
  std::error_code ignored;
  std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(dir_, ignored);
}

std::filesystem::path TempDirTest::path(std::string_view name) const {
  return dir_ / name;
}

void TempDirTest::writeFile(std::string_view name, std::string_view bytes) const {
  std::ofstream file(path(name), std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(file.good()) << "cannot write " << path(name);
}

std::string TempDirTest::readFile(std::string_view name) const {
  return readWholeFile(path(name));
}

std::vector<std::string> TempDirTest::listing() const {
  return namesIn(dir_);
}

std::vector<std::string> namesIn(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string readWholeFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace fdpreserve::testing
