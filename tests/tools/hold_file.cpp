// Holds the file named by its argument open without sharing delete, the way
// another program using the file would.  It prints "held" once the file is
// open and lets go when its standard input ends.
#include <windows.h>

#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 2)
        return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::puts("held");
    std::fflush(stdout);
    char buffer[64];
    DWORD got = 0;
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    while (ReadFile(input, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    }
    CloseHandle(file);
    return 0;
}
