// Test support: a fresh temporary directory, removed with its contents at
// the end of the test, and writing files into it byte for byte (the bytes
// given are code page 850, as the suite's files are).
#pragma once

#include <stdlib.h>

#include <string>

#include "platform/files.h"

namespace config {

class TestDir {
 public:
  TestDir() {
    char tmpl[] = "/tmp/zulcfgXXXXXX";
    const char* made = mkdtemp(tmpl);
    path_ = made ? std::string(made) + "/" : std::string();
  }
  ~TestDir() {
    if (!path_.empty()) {
      std::string cmd = "rm -rf '" + path_ + "'";
      if (system(cmd.c_str()) != 0) {
      }
    }
  }
  TestDir(const TestDir&) = delete;
  TestDir& operator=(const TestDir&) = delete;

  // The directory with its trailing "/".
  const std::string& path() const { return path_; }

  // Writes the file (relative name, parents created). Returns the full path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::string full = path_ + name;
    size_t slash = full.rfind('/');
    platform::MakeDirs(full.substr(0, slash));
    platform::WriteFile(full, bytes);
    return full;
  }

 private:
  std::string path_;
};

}  // namespace config
