// The two texts the data-file layer shows the operator, in the session's
// language (config::session.Language: "SPA", "GLG", "OCI"; anything else is
// Catalan). Code page 850.
#pragma once

#include <string>

namespace datafile {

// A data file cannot be opened: the text, the path as the caller gave it
// (code page 850), a space and the status in parentheses ("NO ES POT
// ACCEDIR AL FITXER DADES\X (35)"), then ServerStatusNote's text.
std::string OpenFailureMessage(const std::string& path, int status);

// What a status says about the server of a server suite's data file (the
// native path), to follow a message: ": " and the text for 20 (the server
// cannot be reached), 95 (the connection was lost), 35 (the suite's schema
// does not exist) and 11 from a schema name the server cannot keep; ""
// for any other status or a file that is not kept on a server.
std::string ServerStatusNote(int status, const std::string& nativePath);

// Shown while a locked record or file is waited for.
std::string LockMessage();

}  // namespace datafile
