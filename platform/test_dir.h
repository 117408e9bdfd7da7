// Test support: a fresh temporary directory for one test, removed with
// everything in it when the test ends, and writing files into it byte for
// byte (the bytes given are code page 850, as the suite's files are).
//
// Every test that needs files of its own makes them in one of these, so
// that tests never share or leave behind files. The directory is removed
// through std::filesystem, never through a shell.
//
// Links into test programs only (the zul_test_support library).
#pragma once

#include <string>

namespace platform {

class TestDir {
 public:
  // Makes a new directory under the system's temporary directory ($TMPDIR,
  // else /tmp). When it cannot be made, path() is empty and writes fail.
  TestDir();
  // Removes the directory and its contents, unless Keep was called.
  ~TestDir();
  TestDir(const TestDir&) = delete;
  TestDir& operator=(const TestDir&) = delete;

  // The directory with its trailing "/": a plain prefix, as the session's
  // RootDir and TempDir are.
  const std::string& path() const { return path_; }

  // The native path of a name inside the directory: path() + name.
  std::string file(const std::string& name) const { return path_ + name; }

  // Writes the file (a relative name; missing parent directories are
  // made). Returns its full path, or "" when it could not be written.
  std::string Write(const std::string& name, const std::string& bytes) const;

  // Leaves the directory in place at the end, for looking at after a
  // failure.
  void Keep() { keep_ = true; }

 private:
  std::string path_;
  bool keep_ = false;
};

}  // namespace platform
