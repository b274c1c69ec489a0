// temp_dir.h - a fresh directory under the test temp folder for files a test
// writes and reads back, removed with everything in it when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class TempDir {
 public:
  TempDir() {
    std::string pattern = ::testing::TempDir() + "fogtest-XXXXXX";
    if (char *made = ::mkdtemp(pattern.data()); made != nullptr) path_ = made;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;

  bool ok() const { return !path_.empty(); }
  const std::filesystem::path &path() const { return path_; }

  // The full path of `name` inside the directory.
  std::string file(const std::string &name) const { return (path_ / name).string(); }

  // Writes `text` to `name`, replacing it; returns the full path.
  std::string write(const std::string &name, const std::string &text) const {
    std::ofstream(file(name), std::ios::binary) << text;
    return file(name);
  }

  // The bytes of a file anywhere; empty when it cannot be read.
  static std::string read(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  std::filesystem::path path_;
};
