// Runs the program's tree removal on the path given as the only argument and
// exits with its result: 0 when it returned true, 1 when false, 2 on misuse.
#include "remove_directory_tree.h"

int main(int argc, char **argv) {
    if (argc != 2)
        return 2;
    return RemoveDirectoryTree(argv[1]) ? 0 : 1;
}
