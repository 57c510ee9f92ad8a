// Deletes the entries named in a list file, one Windows path a line: lines
// starting with "F " are files (DeleteFileA), "D " folders (RemoveDirectoryA),
// in the order given.  It lists nothing, so it is the least that any remover
// must do through the platform's file calls.  Exits 1 if any call failed.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    if (argc != 2)
        return 2;
    std::FILE *list = std::fopen(argv[1], "rb");
    if (!list)
        return 2;
    bool removed = true;
    char line[1024];
    while (std::fgets(line, sizeof line, list)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        if (std::strlen(line) < 3)
            continue;
        const char *path = line + 2;
        BOOL ok = line[0] == 'F' ? DeleteFileA(path) : RemoveDirectoryA(path);
        if (!ok)
            removed = false;
    }
    std::fclose(list);
    return removed ? 0 : 1;
}
