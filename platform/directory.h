// Directories: the current one, absolute paths, the entries of a folder and
// the one lookup of a name without regard to case, which the suite-path
// rule (paths.h) and the tools that look for the suite's files share.
//
// Paths here are native (UTF-8, "/" separators).
//
// No state beyond the process's current directory.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The current directory; "" when it cannot be read.
std::string CurrentDirectory();

// Makes the directory the current one. Returns false when that fails.
bool ChangeDirectory(const std::string& nativePath);

// True when the native path names its file from the file system's root
// ("/x" on Linux; "C:/x", "//server/share/x" or "/x" on Windows).
bool IsAbsolutePath(const std::string& nativePath);

// The absolute form of a path: made from the current directory when
// relative, "." and empty components dropped, ".." taking off the component
// before it (no symbolic link is followed). "/" stays "/".
std::string AbsolutePath(const std::string& path);

// What ListDirectory lists.
enum class Entries {
  kAll,    // every entry but "." and ".."
  kFiles,  // the regular files (a link counts as what it points at)
};

// The names of the entries of the directory ("" is the current one), in
// byte order. Empty when it cannot be read.
std::vector<std::string> ListDirectory(const std::string& nativePath, Entries which);

// True when the names are the same without regard to case: ASCII letters and
// the accented Latin capitals of the suite's languages fold to small ones.
bool SameNameNoCase(const std::string& a, const std::string& b);

// The entry of the directory ("" is the current one) that matches `name`
// without regard to case: `name` itself when it exists as written, else the
// first in byte order whose name matches it; "" when none does.
std::string FindNoCase(const std::string& directory, const std::string& name);

}  // namespace platform
