// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Starts one program on an X display and watches it come up: the time from
// fork to the first map of a top-level window, and to the last paint before
// the screen has been quiet for a while, seen through the XDamage extension
// on the root window (so every pixel the program draws counts, and nothing
// polls). Then reads its resident and proportional memory, and ends it.
//
// Usage: startup_probe QUIET_MS PROGRAM [ARGS...]
// The program gets a clean environment: DISPLAY, HOME, XDG_RUNTIME_DIR, PATH.
// Prints: map_ms paint_ms rss_kb pss_kb, tab-separated.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start, Clock::time_point at) {
    return std::chrono::duration<double, std::milli>(at - start).count();
}

long readKb(const std::string& path, const std::string& key) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_probe QUIET_MS PROGRAM [ARGS...]\n");
        return 2;
    }
    const int quietMs = std::atoi(argv[1]);
    const char* display = std::getenv("DISPLAY");
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr || display == nullptr) {
        std::fprintf(stderr, "cannot open the X display\n");
        return 2;
    }
    int damageEvent = 0;
    int damageError = 0;
    if (!XDamageQueryExtension(dpy, &damageEvent, &damageError)) {
        std::fprintf(stderr, "the X server has no DAMAGE extension\n");
        return 2;
    }
    const Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    const Damage damage = XDamageCreate(dpy, root, XDamageReportNonEmpty);
    XSync(dpy, False);
    // Anything already pending belongs to earlier programs.
    XDamageSubtract(dpy, damage, None, None);
    while (XPending(dpy) > 0) {
        XEvent ignored;
        XNextEvent(dpy, &ignored);
    }

    const std::string home = "/tmp/startup-probe-home";
    const std::string runtime = "/tmp/startup-probe-runtime";
    std::system(("mkdir -p " + home + " && mkdir -p -m 700 " + runtime).c_str());
    std::vector<std::string> env = {std::string("DISPLAY=") + display, "HOME=" + home,
                                    "XDG_RUNTIME_DIR=" + runtime, "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (auto& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execve(argv[2], argv + 2, envp.data());
        _exit(127);
    }

    bool mapped = false;
    bool painted = false;
    Clock::time_point mapAt{};
    Clock::time_point lastPaint{};
    const int fd = ConnectionNumber(dpy);
    while (true) {
        while (XPending(dpy) > 0) {
            XEvent event;
            XNextEvent(dpy, &event);
            const Clock::time_point now = Clock::now();
            if (event.type == MapNotify && !mapped) {
                mapped = true;
                mapAt = now;
            } else if (event.type == damageEvent + XDamageNotify) {
                if (mapped) {
                    painted = true;
                    lastPaint = now;
                }
                XDamageSubtract(dpy, damage, None, None);
            }
        }
        const Clock::time_point now = Clock::now();
        if (painted && msSince(lastPaint, now) >= quietMs) {
            break;
        }
        if (msSince(start, now) > 30000) {
            std::fprintf(stderr, "%s did not paint within 30 s\n", argv[2]);
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return 1;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "%s ended during start-up\n", argv[2]);
            return 1;
        }
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 10);
    }

    const std::string proc = "/proc/" + std::to_string(pid);
    const long rss = readKb(proc + "/status", "VmRSS:");
    const long pss = readKb(proc + "/smaps_rollup", "Pss:");
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    std::printf("%.1f\t%.1f\t%ld\t%ld\n", msSince(start, mapAt), msSince(start, lastPaint), rss,
                pss);
    XDamageDestroy(dpy, damage);
    XCloseDisplay(dpy);
    return 0;
}
