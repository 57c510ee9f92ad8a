// RemoveDirectoryTree through the test driver: its result and what it leaves.
#include <gtest/gtest.h>

#include "tree.h"
#include "wine.h"

namespace {

// How the test names the folder "data" of its scratch folder.
enum class Form { kPlain, kBackslash, kSlash, kSlashBeforeName, kMissing };

std::string Spell(const fs::path &data, Form form) {
    std::string path = WindowsPath(data);
    switch (form) {
    case Form::kPlain: return path;
    case Form::kBackslash: return path + "\\";
    case Form::kSlash: return path + "/";
    case Form::kSlashBeforeName: return path.replace(path.rfind('\\'), 1, "/");
    case Form::kMissing: return path + "\\missing";
    }
    return path;
}

struct PathCase {
    const char *name;
    Form form;
    std::vector<std::string> tree;
    int result;
    bool gone;
};

class PathForms : public testing::TestWithParam<PathCase> {};

TEST_P(PathForms, RemoveWhatThePathNames) {
    const PathCase &c = GetParam();
    fs::path data = Scratch() / "data";
    Build(data, c.tree);
    auto before = Snapshot(data);

    EXPECT_EQ(RemoveTree(Spell(data, c.form)), c.result);
    if (c.gone)
        EXPECT_FALSE(fs::exists(fs::symlink_status(data)));
    else
        EXPECT_EQ(Snapshot(data), before);
}

const std::vector<std::string> kSmallTree{"a.txt", "sub/b.txt", "sub/deeper/"};

INSTANTIATE_TEST_SUITE_P(
    Driver, PathForms,
    testing::Values(
        PathCase{"Plain", Form::kPlain, kSmallTree, kTrue, true},
        PathCase{"TrailingBackslash", Form::kBackslash, kSmallTree, kTrue, true},
        PathCase{"TrailingSlash", Form::kSlash, kSmallTree, kTrue, true},
        PathCase{"MixedSeparators", Form::kSlashBeforeName, kSmallTree, kTrue,
                 true},
        PathCase{"EmptyFolder", Form::kPlain, {}, kTrue, true},
        PathCase{"MissingFolder", Form::kMissing, kSmallTree, kFalse, false}),
    [](const auto &info) { return std::string(info.param.name); });

// Paths too short to name a folder are refused before anything is touched;
// two characters are enough.  Relative names resolve against the driver's
// working folder, where a folder of that name is waiting.
struct ShortCase {
    const char *path;
    int result;
    bool gone;
};

class ShortPaths : public testing::TestWithParam<ShortCase> {};

TEST_P(ShortPaths, RefuseFewerThanTwoCharacters) {
    const ShortCase &c = GetParam();
    fs::path cwd = Scratch();
    std::string name = *c.path ? c.path : "x";
    Build(cwd, {name + "/inner.txt"});

    EXPECT_EQ(RemoveTree(c.path, cwd), c.result);
    EXPECT_EQ(fs::exists(cwd / name), !c.gone);
}

INSTANTIATE_TEST_SUITE_P(Driver, ShortPaths,
                         testing::Values(ShortCase{"", kFalse, false},
                                         ShortCase{"a", kFalse, false},
                                         ShortCase{"ab", kTrue, true}),
                         [](const auto &info) {
                             return "Length" +
                                    std::to_string(strlen(info.param.path));
                         });

// Names that the walk must treat like any other; "." and ".." are the only
// names it skips.
TEST(Driver, RemovesEntriesWithDotsSpacesAndPunctuation) {
    fs::path data = Scratch() / "data";
    Build(data, {".hidden", "..twodots", ".config/settings.ini",
                 "a.b.c", "no extension", "with space/file name.txt",
                 "punct !#$%&'()+,;=@[]^_`{}~/x", "-/dash"});

    EXPECT_EQ(RemoveTree(WindowsPath(data)), kTrue);
    EXPECT_FALSE(fs::exists(data));
}

// A read-only file stays with every folder above it; the rest still goes.
TEST(Driver, ReadOnlyFileKeepsItsChainOfFolders) {
    fs::path data = Scratch() / "data";
    Build(data, {"a/b/locked.txt", "a/b/free.txt", "a/b/c/free.txt",
                 "a/free.txt", "z/free.txt", "free.txt"});
    MakeReadOnly(data / "a/b/locked.txt");

    EXPECT_EQ(RemoveTree(WindowsPath(data)), kFalse);
    EXPECT_EQ(Entries(data), Chain("a/b/locked.txt"));
}

}  // namespace
