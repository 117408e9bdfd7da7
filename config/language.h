// Texts for the operator in the session's four languages.
//
// Fixed texts of the printout and of the forms go through the message
// catalogue (catalogue.h); the few messages a program composes itself
// (a file that cannot be read, a print program that cannot be started) are
// written in the code in all four languages and picked here.
//
// State: none of its own; reads config::session.Language at each call.
#pragma once

#include <string>

namespace config {

// The text of the session's language: `glg` for "GLG", `oci` for "OCI",
// `spa` for "SPA", `cat` for anything else (Catalan, the default), the
// same rule as the catalogue's. The order of the arguments is the order
// of the catalogue's fields.
std::string ByLanguage(const std::string& cat, const std::string& glg,
                              const std::string& oci, const std::string& spa);

}  // namespace config
