#include "platform/test_dir.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>

#include "platform/files.h"

namespace platform {

TestDir::TestDir() {
  std::error_code ec;
  std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) base = "/tmp";
  std::string tmpl = (base / "zultestXXXXXX").string();
  if (mkdtemp(&tmpl[0]) != nullptr) path_ = tmpl + "/";
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
