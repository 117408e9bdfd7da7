// The message catalogue: a fuzzed catalogue file read by Translate in each
// language, and the entries it parses to.
// Input: the text to translate, LF, the catalogue's bytes.
#include <cstdlib>

#include "config/catalogue.h"
#include "config/session.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const std::string text = in.Line();
  const std::string bytes = in.Rest();
  for (const auto& entry : config::ParseCatalogue(bytes)) {
    for (const std::string& field : entry) {
      if (field.size() > bytes.size()) std::abort();
    }
  }
  const std::string& root = fuzz::ScratchDir();
  fuzz::WriteScratch("LOCALE/TORBELAN.LNG", bytes);
  for (const char* language : {"SPA", "GLG", "OCI", "XYZ"}) {
    config::session = config::SessionState();
    config::session.RootDir = root;
    config::session.ModuleName = "TORBELAN";
    config::session.Language = language;
    config::Translate(text);
  }
  config::session = config::SessionState();
  return 0;
}
