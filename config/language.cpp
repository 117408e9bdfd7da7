#include "config/language.h"

#include "config/session.h"

namespace config {

std::string ByLanguage(const std::string& cat, const std::string& glg,
                              const std::string& oci, const std::string& spa) {
  const std::string& language = session.Language;
  if (language == "GLG") return glg;
  if (language == "OCI") return oci;
  if (language == "SPA") return spa;
  return cat;
}

}  // namespace config
