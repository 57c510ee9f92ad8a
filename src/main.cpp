// Entry point: removes the game's per-user data folder below the roaming
// application-data folder.  No window, no message, no log; the command line
// is ignored.
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "remove_directory_tree.h"

namespace {

// The maker's folder, then the game's.  Only the game's folder is removed.
const char kDataFolder[] = "Brambleworth/Lanternmoor";

// Appends `text` to the text in `buffer` in place.  False, with nothing
// written, when the result would not fit with its terminating NUL.
bool Append(char (&buffer)[MAX_PATH], const char *text) {
    size_t used = std::strlen(buffer);
    size_t more = std::strlen(text);
    if (used + more >= MAX_PATH)
        return false;
    std::memcpy(buffer + used, text, more + 1);
    return true;
}

// Composes the data folder's path in `buffer`.  On any failure the result is
// empty, which the removal refuses, so nothing is removed.
std::string DataFolderPath(char (&buffer)[MAX_PATH]) {
    buffer[0] = '\0';
    if (!SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_APPDATA, FALSE))
        return std::string();
    // An empty answer has no last character to look at: as good as none.
    size_t length = std::strlen(buffer);
    if (length == 0)
        return std::string();
    if (buffer[length - 1] != '\\' && !Append(buffer, "\\"))
        return std::string();
    if (!Append(buffer, kDataFolder))
        return std::string();
    return std::string(buffer);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char folder[MAX_PATH];
    // The outcome is reported to no one; the exit status carries no meaning.
    RemoveDirectoryTree(DataFolderPath(folder));
    return 0;
}
