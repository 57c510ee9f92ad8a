// The program end to end, in the prefix's roaming folder, once for each of
// the two builds: the shipped 32-bit one and the 64-bit one.
#include <gtest/gtest.h>

#include <tuple>

#include "tree.h"
#include "wine.h"

namespace {

// Every case runs on both builds.
const auto kBuilds = testing::Values(PROGRAM64_EXE, PROGRAM32_EXE);

// "<case>_win64" or "<case>_win32", after the build that runs it.
template <typename Case>
std::string CaseAndBuild(
    const testing::TestParamInfo<std::tuple<Case, const char *>> &info) {
    std::string exe = std::get<1>(info.param);
    return std::string(std::get<0>(info.param).name) +
           (exe.find("/win32/") != std::string::npos ? "_win32" : "_win64");
}

struct ProgramCase {
    const char *name;
    bool maker_exists;
    // Entries below the maker's folder "Brambleworth".
    std::vector<std::string> maker;
    std::vector<std::string> read_only;
    // An entry below the maker's folder that links to a full folder outside.
    const char *link;
    bool with_arguments;
    // What the maker's folder holds afterwards.
    std::set<std::string> left;
};

const std::vector<std::string> kDataTree{
    "Lanternmoor/settings.ini",      "Lanternmoor/saves/slot 1/game.sav",
    "Lanternmoor/saves/slot 2/",     "Lanternmoor/cache/shaders.v2/0001.bin",
    "Lanternmoor/.backup/old.ini",   "Lanternmoor/profile.json"};

std::vector<std::string> With(std::vector<std::string> entries,
                              const std::vector<std::string> &more) {
    entries.insert(entries.end(), more.begin(), more.end());
    return entries;
}

const ProgramCase kCases[] = {
    {"TypicalTree", true, With(kDataTree, {"Other/saves/keep.sav", "notes.txt"}),
     {}, nullptr, false, {"Other/", "Other/saves/", "Other/saves/keep.sav",
                          "notes.txt"}},
    {"OnlyContentOfMaker", true, kDataTree, {}, nullptr, false, {}},
    {"NoDataFolder", true, {"Other/keep.sav"}, {}, nullptr, false,
     {"Other/", "Other/keep.sav"}},
    {"NoMakerFolder", false, {}, {}, nullptr, false, {}},
    {"ArgumentsIgnored", true, With(kDataTree, {"Other/keep.sav"}), {}, nullptr,
     true, {"Other/", "Other/keep.sav"}},
    {"ReadOnlyFile", true, With(kDataTree, {"Lanternmoor/saves/slot 3/ro.sav"}),
     {"Lanternmoor/saves/slot 3/ro.sav"}, nullptr, false,
     {"Lanternmoor/", "Lanternmoor/saves/", "Lanternmoor/saves/slot 3/",
      "Lanternmoor/saves/slot 3/ro.sav"}},
    // Wine keeps a link whose target is not empty, so the link and the
    // folders above it stay; on Windows the link itself would go too.
    {"LinkOutOfTree", true, kDataTree, {}, "Lanternmoor/saves/elsewhere", false,
     {"Lanternmoor/", "Lanternmoor/saves/", "Lanternmoor/saves/elsewhere"}},
};

using Param = std::tuple<ProgramCase, const char *>;

class Program : public testing::TestWithParam<Param> {};

TEST_P(Program, RemovesOnlyTheDataFolder) {
    const auto &[c, exe] = GetParam();
    fs::path roaming = Roaming();
    fs::path maker = roaming / "Brambleworth";
    fs::remove_all(maker);
    if (c.maker_exists) {
        fs::create_directory(maker);
        Build(maker, c.maker);
    }
    for (const auto &file : c.read_only)
        MakeReadOnly(maker / file);
    fs::path outside = Scratch() / "outside";
    Build(outside, {"precious.txt", "deep/precious.txt"});
    if (c.link)
        fs::create_directory_symlink(outside, maker / c.link);
    auto outside_before = Snapshot(outside);
    auto roaming_before = SnapshotExcept(roaming, "Brambleworth/");

    std::vector<std::string> arguments;
    if (c.with_arguments)
        arguments = {WindowsPath(outside), "/s", "/q", "--all", ""};
    EXPECT_EQ(RunWine(exe, arguments), 0);

    EXPECT_EQ(fs::exists(maker), c.maker_exists);
    EXPECT_EQ(Entries(maker), c.left);
    EXPECT_EQ(Snapshot(outside), outside_before);
    EXPECT_EQ(SnapshotExcept(roaming, "Brambleworth/"), roaming_before);
    fs::remove_all(maker);
}

INSTANTIATE_TEST_SUITE_P(
    Exe, Program,
    testing::Combine(testing::ValuesIn(kCases),
                     kBuilds),
    CaseAndBuild<ProgramCase>);

const char kShellFolders[] =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Points the user's roaming folder elsewhere for one test, through the
// registry value that the shell reads, and puts it back afterwards.
class RoamingRedirect {
  public:
    explicit RoamingRedirect(const std::string &folder) { Set(folder); }
    ~RoamingRedirect() { Set("%USERPROFILE%\\AppData\\Roaming"); }

  private:
    static void Set(const std::string &folder) {
        Options quiet;
        quiet.quiet = true;
        EXPECT_EQ(RunWine("reg",
                          {"add", kShellFolders, "/v", "AppData", "/t",
                           "REG_EXPAND_SZ", "/d", folder, "/f"},
                          quiet),
                  0);
    }
};

// Roaming folders of awkward lengths and forms.  `length` is the length of
// the whole data-folder path that the program composes.
struct RoamingCase {
    const char *name;
    size_t length;
    bool trailing_backslash;
    bool removed;
};

const RoamingCase kRoamingCases[] = {
    {"TrailingBackslash", 0, true, true},
    // The listing's pattern, the path and "\*.*", is 259 bytes: it fits.
    {"LongestRemovable", 255, false, true},
    {"LongestRemovableWithBackslash", 255, true, true},
    // With its NUL the path needs 261 bytes of the 260-byte buffer.
    {"DoesNotFitTheBuffer", 260, false, false},
    {"RoamingFillsTheBuffer", 259 + 24, true, false},
};

using RoamingParam = std::tuple<RoamingCase, const char *>;

class RoamingFolder : public testing::TestWithParam<RoamingParam> {};

TEST_P(RoamingFolder, ComposesThePathOrRemovesNothing) {
    const auto &[c, exe] = GetParam();
    const std::string tail = "Brambleworth/Lanternmoor";
    fs::path scratch = Scratch();
    std::string base = WindowsPath(scratch) + "\\r";
    // Pad the folder's name so that the composed path has the length wanted.
    size_t separator = c.trailing_backslash ? 0 : 1;
    ASSERT_LT(base.size() + 1 + tail.size(), 200u) << "scratch path too long";
    if (c.length)
        base += std::string(c.length - base.size() - separator - tail.size() -
                                (c.trailing_backslash ? 1 : 0),
                            'x');
    fs::path roaming = scratch / fs::path(base.substr(base.rfind('\\') + 1));
    Build(roaming, {"Brambleworth/Lanternmoor/", "Brambleworth/Other/keep"});
    if (c.removed)
        Build(roaming, {"Brambleworth/Lanternmoor/a"});
    std::string folder = base + (c.trailing_backslash ? "\\" : "");
    if (c.length) {
        ASSERT_EQ(folder.size() + separator + tail.size(), c.length);
    }
    auto before = Snapshot(scratch);

    {
        RoamingRedirect redirect(folder);
        EXPECT_EQ(RunWine(exe, {}), 0);
    }

    EXPECT_EQ(fs::exists(roaming / "Brambleworth/Lanternmoor"), !c.removed);
    EXPECT_TRUE(fs::exists(roaming / "Brambleworth/Other/keep"));
    if (!c.removed) {
        EXPECT_EQ(Snapshot(scratch), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Exe, RoamingFolder,
    testing::Combine(testing::ValuesIn(kRoamingCases),
                     kBuilds),
    CaseAndBuild<RoamingCase>);

}  // namespace
