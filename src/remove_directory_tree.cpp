// Recursive removal of one directory tree through the ANSI file calls.
//
// What could go wrong, and how this file answers it:
// - Escaping the tree through links.  A directory entry that is a reparse
//   point (junction, directory symbolic link, mount point) is never entered;
//   RemoveDirectoryA on it removes the link and leaves its target alone.  A
//   file symbolic link is a file entry, and DeleteFileA removes the link.
// - Entries that cannot go (read-only, in use, access denied, vanished).
//   Each failure clears the result and the walk goes on with the next entry.
//   No attribute is changed and nothing is retried, so such an entry stays,
//   and so do the folders above it.
// - Paths past the ANSI limit.  Paths are std::string, so nothing here has a
//   fixed size to overflow.  The executable is not long-path aware, so the
//   platform refuses a path of MAX_PATH bytes or more: that listing or
//   deletion fails and counts as a failure.  The same refusal bounds the
//   recursion to about MAX_PATH / 2 levels.
// - Names that are not names.  The ANSI listing turns characters that the
//   code page lacks into look-alikes, so a folder named with full-width dots
//   and backslashes comes back as "..\..\elsewhere", which would lead out of
//   the tree.  An entry whose name holds a separator is left alone and
//   counts as a failure.  A folder listed as "." or ".." is skipped like the
//   listing's own; a look-alike then keeps its parent from being removed.
#include "remove_directory_tree.h"

#include <windows.h>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Every ordinary listing yields these two; a name that merely starts with a
// dot is a real entry.
bool IsDotOrDotDot(const char *name) {
    return name[0] == '.' &&
           (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// A name that, joined to its folder's path, names an entry of that folder.
bool IsPlainName(const char *name) {
    if (IsDotOrDotDot(name))
        return false;
    for (; *name; ++name)
        if (IsSeparator(*name))
            return false;
    return true;
}

bool HasAttribute(const WIN32_FIND_DATAA &entry, DWORD attribute) {
    return (entry.dwFileAttributes & attribute) != 0;
}

// Removes one listed entry whose full path is `path`.
bool RemoveEntry(const std::string &path, const WIN32_FIND_DATAA &entry) {
    if (!HasAttribute(entry, FILE_ATTRIBUTE_DIRECTORY))
        return DeleteFileA(path.c_str()) != 0;
    // A link's target lies outside this tree: take the link, never descend.
    if (HasAttribute(entry, FILE_ATTRIBUTE_REPARSE_POINT))
        return RemoveDirectoryA(path.c_str()) != 0;
    return RemoveDirectoryTree(path);
}

// Walks an open listing from its first entry on, removing every entry below
// `dir` (which ends in a separator).  True when all of them went.
bool RemoveListedEntries(HANDLE listing, WIN32_FIND_DATAA &entry,
                         const std::string &dir) {
    bool removed = true;
    do {
        if (HasAttribute(entry, FILE_ATTRIBUTE_DIRECTORY) &&
            IsDotOrDotDot(entry.cFileName))
            continue;
        if (!IsPlainName(entry.cFileName) ||
            !RemoveEntry(dir + entry.cFileName, entry))
            removed = false;
    } while (FindNextFileA(listing, &entry));
    return removed;
}

}  // namespace

bool RemoveDirectoryTree(const std::string &path) {
    // Too short to name a folder of ours; one character is a relative name
    // or a bare drive separator, so it is refused as well.
    if (path.size() < 2)
        return false;

    std::string dir = path;
    if (!IsSeparator(dir.back()))
        dir += '\\';

    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA((dir + "*.*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return false;
    bool removed = RemoveListedEntries(listing, entry, dir);
    FindClose(listing);

    // Tried even after a failure; it then fails by itself, as the folder is
    // not empty.
    if (!RemoveDirectoryA(path.c_str()))
        removed = false;
    return removed;
}
