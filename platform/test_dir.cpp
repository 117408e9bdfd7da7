#include "platform/test_dir.h"

#include <filesystem>
#include <system_error>

#include "platform/env.h"
#include "platform/files.h"

namespace platform {

TestDir::TestDir() {
  std::error_code ec;
  std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) base = "/tmp";
  // A name no folder there has yet: create_directory makes it only then.
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    std::string name = "zultest";
    for (int i = 0; i < 6; ++i) name += kLetters[int(RandomUnit() * 36) % 36];
    std::filesystem::path dir = base / name;
    if (std::filesystem::create_directory(dir, ec) && !ec) path_ = dir.generic_string() + "/";
  }
}

TestDir::~TestDir() {
  if (path_.empty() || keep_) return;
  std::error_code ec;  // a directory that cannot be removed is left behind
  std::filesystem::remove_all(path_, ec);
}

std::string TestDir::Write(const std::string& name, const std::string& bytes) const {
  if (path_.empty()) return "";
  std::string full = path_ + name;
  size_t slash = full.rfind('/');
  if (!MakeDirs(full.substr(0, slash)) || !WriteFile(full, bytes)) return "";
  return full;
}

}  // namespace platform
