// The two texts the data-file layer shows the operator, in the session's
// language (config::session.Language: "SPA", "GLG", "OCI"; anything else is
// Catalan). Code page 850.
#pragma once

#include <string>

namespace datafile {

// A data file cannot be opened: the text, the path as the caller gave it, a
// space and the status in parentheses ("NO ES POT ACCEDIR AL FITXER DADES\X
// (35)").
std::string OpenFailureMessage(const std::string& path, int status);

// Shown while a locked record or file is waited for.
std::string LockMessage();

}  // namespace datafile
