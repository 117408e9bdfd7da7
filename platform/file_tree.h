// Folders as trees of files: what a folder holds, and removing a tree.
// Symbolic links are entries like files: never followed, removed as links.
//
// State: none.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Every entry under the native folder path (files, folders, links), as
// paths relative to it with "/" between components, parents before what
// they hold. Empty when the folder is missing or cannot be read.
std::vector<std::string> ListTree(const std::string& nativePath);

// Removes the file, link or folder at the native path, a folder with all it
// holds. True when nothing is left there (also when nothing was).
bool RemoveTree(const std::string& nativePath);

}  // namespace platform
