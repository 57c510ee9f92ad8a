// Fixture trees on the host side, and what is left of them afterwards.
#ifndef LANTERNMOOR_TESTS_TREE_H
#define LANTERNMOOR_TESTS_TREE_H

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// Creates the entries below `root`: a name ending in '/' is a folder, any
// other a file holding its own name.  Missing parent folders are made too.
void Build(const fs::path &root, const std::vector<std::string> &entries);

// Clears every write bit, which Wine treats as the read-only attribute.
void MakeReadOnly(const fs::path &file);

// Every entry below `root`, relative, folders ending in '/', without
// following links.  Empty when `root` does not exist.
std::set<std::string> Entries(const fs::path &root);

// Every entry below `root` with its content: file bytes, a link's target,
// or nothing for a folder.  To prove that a tree was not touched.
std::map<std::string, std::string> Snapshot(const fs::path &root);

// Snapshot() of everything below `root` but the entry named `excluded`
// (a folder's name ends in '/') and what it holds.
std::map<std::string, std::string> SnapshotExcept(const fs::path &root,
                                                  const std::string &excluded);

// `path` and every folder above it up to (not including) the root, each as
// Entries() names it.
std::set<std::string> Chain(const std::string &path);

#endif
