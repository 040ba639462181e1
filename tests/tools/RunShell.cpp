#include "tests/tools/RunShell.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace ShellTests {

TShellRun RunShell(const std::vector<std::string>& Args, const std::string& Input) {
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) || ::pipe2(out, O_CLOEXEC) || ::pipe2(err, O_CLOEXEC)) throw std::runtime_error("pipe");
    std::vector<std::string> args = {KESTREL_SQL_PATH};
    args.insert(args.end(), Args.begin(), Args.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    ::signal(SIGPIPE, SIG_IGN);

    TShellRun run;
    size_t written = 0;
    int inFd = in[1];
    if (Input.empty()) {
        ::close(inFd);
        inFd = -1;
    }
    int fds[2] = {out[0], err[0]};
    std::string* sinks[2] = {&run.Out, &run.Err};
    while (fds[0] >= 0 || fds[1] >= 0) {
        pollfd p[3];
        int n = 0;
        for (int i = 0; i < 2; ++i) p[n++] = {fds[i], POLLIN, 0};
        p[n++] = {inFd, POLLOUT, 0};
        if (::poll(p, static_cast<nfds_t>(n), -1) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i] < 0 || !(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buf[4096];
            const ssize_t got = ::read(fds[i], buf, sizeof buf);
            if (got > 0) sinks[i]->append(buf, static_cast<size_t>(got));
            else {
                ::close(fds[i]);
                fds[i] = -1;
            }
        }
        if (inFd >= 0 && (p[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t put = ::write(inFd, Input.data() + written, Input.size() - written);
            if (put > 0) written += static_cast<size_t>(put);
            if (put <= 0 || written == Input.size()) {
                ::close(inFd);
                inFd = -1;
            }
        }
    }
    if (inFd >= 0) ::close(inFd);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

std::string MaskTiming(const std::string& Out) {
    // Only the shell's own form: digits, a point, one digit, " ms)".
    const std::string head = "(batch took ";
    std::string r;
    size_t at = 0;
    for (size_t found; (found = Out.find(head, at)) != std::string::npos;) {
        size_t i = found + head.size();
        const size_t digits = i;
        while (i < Out.size() && std::isdigit(static_cast<unsigned char>(Out[i]))) ++i;
        const bool ok = i > digits && Out.compare(i, 1, ".") == 0 && i + 1 < Out.size() &&
                        std::isdigit(static_cast<unsigned char>(Out[i + 1])) && Out.compare(i + 2, 4, " ms)") == 0;
        r += Out.substr(at, found - at);
        if (ok) {
            r += "(batch took T)";
            at = i + 6;
        } else {
            r += head;
            at = found + head.size();
        }
    }
    return r + Out.substr(at);
}

} // namespace ShellTests
