// INI files: IniRead over a fuzzed file, for a fuzzed section and key.
// Input: section name, LF, key name, LF, the file's bytes.
#include <cstdlib>

#include "config/ini_reader.h"
#include "config/session.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const std::string section = in.Line();
  const std::string key = in.Line();
  config::session = config::SessionState();
  const std::string path = fuzz::WriteScratch("FUZZ.INI", in.Rest());
  const std::string value = config::IniRead(path, section, key);
  // The value of a key line never holds a line end or a comment.
  if (value.find_first_of("\r\n;") != std::string::npos) std::abort();
  config::IniRead(path, "Sistema", "Idioma");
  config::IniRead(path, key, section);
  return 0;
}
