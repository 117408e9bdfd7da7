#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fuzz {
namespace {

struct Scratch {
  std::string path;
  Scratch() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zulfuzz.XXXXXX";
    if (!mkdtemp(&pattern[0])) std::abort();
    path = pattern + "/";
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

const std::string& ScratchDir() {
  static Scratch scratch;
  return scratch.path;
}

std::string WriteScratch(const std::string& name, const std::string& bytes) {
  // Plain stdio, without the flush to disk of platform::WriteFile: a fuzz
  // target writes a file for every input.
  std::string path = ScratchDir() + name;
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) std::abort();
  return path;
}

}  // namespace fuzz
