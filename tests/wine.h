// Running Windows programs under 64-bit Wine from host-side tests.
#ifndef LANTERNMOOR_TESTS_WINE_H
#define LANTERNMOOR_TESTS_WINE_H

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// Exit status of a program that did not end in time or was killed.
constexpr int kNoExit = -1;

// The Wine prefix of this test run (WINEPREFIX).
fs::path Prefix();

// The roaming application-data folder of the prefix's user.
fs::path Roaming();

// `path` as the program sees it through Wine's drive Z:.
std::string WindowsPath(const fs::path &path);

struct Options {
    fs::path cwd = "/";
    std::chrono::seconds timeout{300};
    bool quiet = false;  // drop the program's standard output
};

// Runs `program` (a Windows executable) with `arguments` and returns its exit
// status, or kNoExit when it had to be killed.
int RunWine(const fs::path &program, const std::vector<std::string> &arguments,
            const Options &options = {});

// A program left running, its standard input and output on pipes.
struct Child {
    pid_t pid = -1;
    int input = -1;   // write end of the child's standard input
    int output = -1;  // read end of the child's standard output
};

Child StartWine(const fs::path &program,
                const std::vector<std::string> &arguments);

// Reads one line of the child's output; empty at its end.
std::string ReadLine(const Child &child);

// Closes the child's input and waits for it.
int Finish(Child &child);

// The test driver's exit status for RemoveDirectoryTree's result.
constexpr int kTrue = 0;
constexpr int kFalse = 1;

// Runs RemoveDirectoryTree through the test driver on `path`, a path as the
// program sees it, with `cwd` as the working folder.
int RemoveTree(const std::string &path, const fs::path &cwd = "/");

// A fresh empty folder for one test, below a short temporary folder.
fs::path Scratch();

#endif
