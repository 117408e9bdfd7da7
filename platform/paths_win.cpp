// The suite-path rule on Windows (contract in paths.h, with the
// differences below).
//
// Steps 1 and 2 are the same: code page 850 becomes UTF-8, and every "\"
// becomes "/" with runs counted as one. Step 3: a drive letter names the
// drive itself ("C:\X\Y.DAT" is "C:/X/Y.DAT"), unless ZULDRIVE_<LETTER>
// maps it to a folder, as on Linux. Step 4 is the file system's own: names
// on Windows are found without regard to case.
#include "platform/paths.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "platform/codepage.h"
#include "platform/env.h"
#include "platform/win_text.h"

namespace platform {

bool PathExists(const std::string& nativePath) {
  return !nativePath.empty() &&
         GetFileAttributesW(Widen(nativePath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string SuitePath(const std::string& suiteName) {
  std::string path = ForwardSlashes(Cp850ToUtf8(suiteName));
  size_t keep = path.compare(0, 2, "//") == 0 ? 2 : 1;
  for (size_t i = keep; i < path.size();) {
    if (path[i] == '/' && path[i - 1] == '/') {
      path.erase(i, 1);
    } else {
      ++i;
    }
  }
  if (path.size() >= 2 && path[1] == ':' &&
      std::isalpha(static_cast<unsigned char>(path[0]))) {
    char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    std::string root = GetEnv(std::string("ZULDRIVE_") + letter);
    if (!root.empty()) {
      std::string rest = path.substr(2);
      if (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
      root = ForwardSlashes(root);
      if (root.back() != '/') root += '/';
      path = root + rest;
    } else {
      path[0] = letter;
    }
  }
  return path;
}

}  // namespace platform
