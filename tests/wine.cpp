#include "wine.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace {

const char kWine[] = "/usr/lib/wine/wine64";

std::vector<char *> Argv(std::vector<std::string> &words) {
    std::vector<char *> argv;
    for (auto &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    return argv;
}

std::vector<std::string> Command(const fs::path &program,
                                 const std::vector<std::string> &arguments) {
    std::vector<std::string> words{kWine, program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return words;
}

// Waits up to `timeout` for `pid`; kills it (and reports kNoExit) after that.
int Wait(pid_t pid, std::chrono::seconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return kNoExit;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : kNoExit;
}

}  // namespace

fs::path Prefix() {
    const char *prefix = std::getenv("WINEPREFIX");
    if (!prefix || !*prefix)
        throw std::runtime_error("WINEPREFIX is not set");
    return prefix;
}

fs::path Roaming() {
    for (const auto &user : fs::directory_iterator(Prefix() / "drive_c/users")) {
        fs::path roaming = user.path() / "AppData/Roaming";
        if (fs::is_directory(roaming))
            return roaming;
    }
    throw std::runtime_error("the Wine prefix has no roaming folder");
}

std::string WindowsPath(const fs::path &path) {
    std::string text = "Z:" + fs::absolute(path).lexically_normal().string();
    for (char &c : text)
        if (c == '/')
            c = '\\';
    while (text.size() > 3 && text.back() == '\\')
        text.pop_back();
    return text;
}

int RunWine(const fs::path &program, const std::vector<std::string> &arguments,
            const Options &options) {
    auto words = Command(program, arguments);
    auto argv = Argv(words);
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(options.cwd.c_str()) != 0)
            _exit(127);
        if (options.quiet) {
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    return Wait(pid, options.timeout);
}

int RemoveTree(const std::string &path, const fs::path &cwd) {
    Options options;
    options.cwd = cwd;
    return RunWine(DRIVER_EXE, {path}, options);
}

Child StartWine(const fs::path &program,
                const std::vector<std::string> &arguments) {
    auto words = Command(program, arguments);
    auto argv = Argv(words);
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0)
        throw std::runtime_error("pipe failed");
    Child child;
    child.pid = fork();
    if (child.pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[0]), close(in[1]), close(out[0]), close(out[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    child.input = in[1];
    child.output = out[0];
    return child;
}

std::string ReadLine(const Child &child) {
    std::string line;
    char c;
    while (read(child.output, &c, 1) == 1 && c != '\n')
        if (c != '\r')
            line += c;
    return line;
}

int Finish(Child &child) {
    close(child.input);
    int status = Wait(child.pid, std::chrono::seconds(60));
    close(child.output);
    child = Child{};
    return status;
}

fs::path Scratch() {
    const auto *test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    for (char &c : name)
        if (c == '/')
            c = '_';
    fs::path dir = fs::path(SCRATCH_DIR) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}
