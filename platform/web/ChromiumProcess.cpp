#include "platform/web/ChromiumProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace webview {

namespace {

const char* const ProgramNames[] = { "chromium", "chromium-browser", "google-chrome" };

bool IsExecutableFile(const std::filesystem::path& p)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec) && access(p.c_str(), X_OK) == 0;
}

std::vector<std::string> SplitArguments(const std::string& text)
{
    std::vector<std::string> out;
    std::string cur;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n') {
            if (!cur.empty())
                out.push_back(std::move(cur));
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        out.push_back(std::move(cur));
    return out;
}

// A pipe whose two ends are numbered above the fds the child needs (3 and 4),
// so the dup2 calls in the child never collide with them.
bool MakeHighPipe(int fds[2])
{
    int raw[2];
    if (pipe2(raw, O_CLOEXEC) != 0)
        return false;
    for (int i = 0; i < 2; ++i) {
        fds[i] = fcntl(raw[i], F_DUPFD_CLOEXEC, 10);
        close(raw[i]);
    }
    if (fds[0] < 0 || fds[1] < 0) {
        if (fds[0] >= 0)
            close(fds[0]);
        if (fds[1] >= 0)
            close(fds[1]);
        return false;
    }
    return true;
}

} // namespace

std::string FindChromium(const std::string& browserFolder)
{
    if (!browserFolder.empty()) {
        std::filesystem::path folder(browserFolder);
        if (IsExecutableFile(folder))
            return folder.string();
        for (const char* name : ProgramNames)
            if (IsExecutableFile(folder / name))
                return (folder / name).string();
        return {};
    }
    if (const char* named = std::getenv(BrowserPathVariable); named && *named)
        return IsExecutableFile(named) ? std::string(named) : std::string();
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    for (const char* name : ProgramNames) {
        std::size_t start = 0;
        while (start <= dirs.size()) {
            std::size_t end = dirs.find(':', start);
            if (end == std::string::npos)
                end = dirs.size();
            std::string dir = dirs.substr(start, end - start);
            if (!dir.empty() && IsExecutableFile(std::filesystem::path(dir) / name))
                return (std::filesystem::path(dir) / name).string();
            start = end + 1;
        }
    }
    return {};
}

std::vector<std::string> ChromiumArguments(const std::string& userDataFolder, bool runningAsRoot,
    const std::string& additionalArguments)
{
    std::vector<std::string> args {
        "--headless=new",
        "--remote-debugging-pipe",
        "--user-data-dir=" + userDataFolder,
        "--no-first-run",
        "--no-default-browser-check",
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-sync",
        "--disable-gpu",
        // A page restored from the back-forward cache reports no load, so
        // history navigations would complete without an event.
        "--disable-back-forward-cache",
        // An error page would load its address again by itself after a
        // while: a navigation nobody asked for, which cancels the failed
        // one when its page has not finished loading yet.
        "--disable-auto-reload",
    };
    // The sandbox refuses to start as root; an ordinary user keeps it.
    if (runningAsRoot)
        args.push_back("--no-sandbox");
    for (auto& a : SplitArguments(additionalArguments))
        args.push_back(std::move(a));
    args.push_back("about:blank");
    return args;
}

std::string QueryChromiumVersion(const std::string& program)
{
    if (program.empty())
        return {};
    int out[2];
    if (!MakeHighPipe(out))
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const char* argv[] = { program.c_str(), "--version", nullptr };
    pid_t pid = -1;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    if (rc == 0) {
        char buf[512];
        for (;;) {
            ssize_t n = read(out[0], buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0 || text.size() > 4096)
                break;
            text.append(buf, std::size_t(n));
        }
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    }
    close(out[0]);
    // The first word made of digits and dots holding at least one dot.
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && !(text[i] >= '0' && text[i] <= '9'))
            ++i;
        std::size_t j = i;
        while (j < text.size() && ((text[j] >= '0' && text[j] <= '9') || text[j] == '.'))
            ++j;
        std::string word = text.substr(i, j - i);
        bool atWordStart = i == 0 || text[i - 1] == ' ' || text[i - 1] == '/';
        if (atWordStart && word.find('.') != std::string::npos)
            return word;
        i = j;
    }
    return {};
}

ChromiumProcess::~ChromiumProcess()
{
    if (m_pid > 0)
        WaitOrKill(std::chrono::milliseconds(0));
    CloseFds();
}

bool ChromiumProcess::Start(const std::string& program, const std::vector<std::string>& arguments)
{
    if (m_pid > 0)
        return false;
    int toBrowser[2], fromBrowser[2];
    if (!MakeHighPipe(toBrowser))
        return false;
    if (!MakeHighPipe(fromBrowser)) {
        close(toBrowser[0]);
        close(toBrowser[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, toBrowser[0], 3);
    posix_spawn_file_actions_adddup2(&actions, fromBrowser[1], 4);
    // Nothing else of ours (sockets, other pipes) leaks into the browser.
    posix_spawn_file_actions_addclosefrom_np(&actions, 5);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (auto& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    // The browser starts with default signal handling whatever ours is.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    int rc = posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    close(toBrowser[0]);
    close(fromBrowser[1]);
    if (rc != 0) {
        close(toBrowser[1]);
        close(fromBrowser[0]);
        return false;
    }
    m_pid = pid;
    m_toBrowser = toBrowser[1];
    m_fromBrowser = fromBrowser[0];
    return true;
}

bool ChromiumProcess::Running()
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    pid_t r = waitpid(m_pid, &status, WNOHANG);
    if (r == m_pid || (r < 0 && errno == ECHILD)) {
        m_pid = -1;
        return false;
    }
    return true;
}

bool ChromiumProcess::WriteMessage(const std::string& json)
{
    if (m_toBrowser < 0)
        return false;
    // Block SIGPIPE for this thread while writing, and swallow one that a
    // closed pipe raised, so a dead browser cannot end our process.
    sigset_t pipeSet, old;
    sigemptyset(&pipeSet);
    sigaddset(&pipeSet, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSet, &old);
    bool ok = true;
    bool broken = false;
    auto writeAll = [&](const char* data, std::size_t size) {
        while (ok && size > 0) {
            ssize_t n = write(m_toBrowser, data, size);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                broken = errno == EPIPE;
                ok = false;
                break;
            }
            data += n;
            size -= std::size_t(n);
        }
    };
    writeAll(json.data(), json.size());
    writeAll("", 1);
    if (broken) {
        sigset_t pending;
        sigpending(&pending);
        if (sigismember(&pending, SIGPIPE)) {
            timespec zero {};
            sigtimedwait(&pipeSet, nullptr, &zero);
        }
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return ok;
}

void ChromiumProcess::WaitOrKill(std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) { }
        m_pid = -1;
    }
}

void ChromiumProcess::CloseWriteEnd()
{
    if (m_toBrowser >= 0)
        close(m_toBrowser);
    m_toBrowser = -1;
}

void ChromiumProcess::CloseFds()
{
    CloseWriteEnd();
    if (m_fromBrowser >= 0)
        close(m_fromBrowser);
    m_fromBrowser = -1;
}

} // namespace webview
