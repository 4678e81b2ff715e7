#pragma once
// Finding, starting and stopping the Chromium browser process that the web
// view drives. The process talks the DevTools protocol over two pipes: it reads
// NUL-separated JSON messages on its fd 3 and writes them on its fd 4.

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace webview {

// The environment variable that names the browser program to use.
inline constexpr const char* BrowserPathVariable = "QUARRYTIDE_CHROMIUM";

// The browser program: inside `browserFolder` when one is given (a folder
// holding one of the known program names, or the program itself), else the
// program named by the environment variable, else the first of chromium,
// chromium-browser and google-chrome on PATH. Empty when none is found.
std::string FindChromium(const std::string& browserFolder = {});

// The command-line switches the browser starts with.
std::vector<std::string> ChromiumArguments(const std::string& userDataFolder, bool runningAsRoot,
    const std::string& additionalArguments = {});

// The version number ("156.0.8078.129") the program reports for --version;
// empty when it cannot be run or reports none.
std::string QueryChromiumVersion(const std::string& program);

class ChromiumProcess {
public:
    ChromiumProcess() = default;
    ~ChromiumProcess(); // kills and reaps a process still running
    ChromiumProcess(const ChromiumProcess&) = delete;
    ChromiumProcess& operator=(const ChromiumProcess&) = delete;

    // Starts `program` with `arguments`; false when it could not be started.
    bool Start(const std::string& program, const std::vector<std::string>& arguments);

    pid_t Pid() const { return m_pid; }
    int WriteFd() const { return m_toBrowser; }   // our end of the browser's fd 3
    int ReadFd() const { return m_fromBrowser; }  // our end of the browser's fd 4
    bool Running();                               // reaps the process once it has exited

    // Writes one message and its NUL terminator; false once the pipe is gone.
    // Never raises SIGPIPE.
    bool WriteMessage(const std::string& json);
    // Waits up to `timeout` for the process to end by itself, then kills it;
    // returns once it has been reaped.
    void WaitOrKill(std::chrono::milliseconds timeout);
    void CloseWriteEnd();

private:
    void CloseFds();

    pid_t m_pid { -1 };
    int m_toBrowser { -1 };
    int m_fromBrowser { -1 };
};

} // namespace webview
