#include "tree.h"

#include <fstream>
#include <sstream>

void Build(const fs::path &root, const std::vector<std::string> &entries) {
    fs::create_directories(root);
    for (const auto &entry : entries) {
        fs::path path = root / entry;
        if (entry.back() == '/') {
            fs::create_directories(path);
            continue;
        }
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << entry;
    }
}

void MakeReadOnly(const fs::path &file) {
    fs::permissions(file,
                    fs::perms::owner_write | fs::perms::group_write |
                        fs::perms::others_write,
                    fs::perm_options::remove);
}

namespace {

std::string Name(const fs::path &root, const fs::directory_entry &entry) {
    std::string name = entry.path().lexically_relative(root).string();
    if (entry.is_directory() && !entry.is_symlink())
        name += '/';
    return name;
}

template <typename Visit>
void Walk(const fs::path &root, Visit visit) {
    if (!fs::is_directory(fs::symlink_status(root)))
        return;
    for (const auto &entry : fs::recursive_directory_iterator(root))
        visit(entry);
}

}  // namespace

std::set<std::string> Entries(const fs::path &root) {
    std::set<std::string> names;
    Walk(root, [&](const fs::directory_entry &entry) {
        names.insert(Name(root, entry));
    });
    return names;
}

std::map<std::string, std::string> Snapshot(const fs::path &root) {
    std::map<std::string, std::string> contents;
    Walk(root, [&](const fs::directory_entry &entry) {
        std::string content;
        if (entry.is_symlink()) {
            content = "-> " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            std::ostringstream bytes;
            bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
            content = bytes.str();
        }
        contents[Name(root, entry)] = content;
    });
    return contents;
}

std::map<std::string, std::string> SnapshotExcept(const fs::path &root,
                                                  const std::string &excluded) {
    auto contents = Snapshot(root);
    std::erase_if(contents, [&](const auto &entry) {
        return entry.first.rfind(excluded, 0) == 0;
    });
    return contents;
}

std::set<std::string> Chain(const std::string &path) {
    std::set<std::string> chain{path};
    for (auto slash = path.rfind('/', path.size() - 2);
         slash != std::string::npos && slash > 0;
         slash = path.rfind('/', slash - 1))
        chain.insert(path.substr(0, slash + 1));
    return chain;
}
