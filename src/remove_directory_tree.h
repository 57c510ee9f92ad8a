#ifndef LANTERNMOOR_REMOVE_DIRECTORY_TREE_H
#define LANTERNMOOR_REMOVE_DIRECTORY_TREE_H

#include <string>

// Removes the directory at `path` (ANSI code page) with everything below it,
// best effort: what cannot go stays, everything else goes.  True when all of
// it went; false when anything was left or the directory could not be listed.
// Paths shorter than two characters are refused without touching anything.
bool RemoveDirectoryTree(const std::string &path);

#endif
