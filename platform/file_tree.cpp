#include "platform/file_tree.h"

#include <filesystem>
#include <system_error>

namespace platform {

std::vector<std::string> ListTree(const std::string& nativePath) {
  namespace fs = std::filesystem;
  std::vector<std::string> entries;
  std::error_code ec;
  fs::recursive_directory_iterator it(nativePath, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    entries.push_back(it->path().lexically_relative(nativePath).generic_string());
  }
  return entries;
}

bool RemoveTree(const std::string& nativePath) {
  std::error_code ec;
  std::filesystem::remove_all(nativePath, ec);
  return !ec;
}

}  // namespace platform
