// Starts a program and watches it: the milliseconds from exec to the X MapNotify of its window, its memory
// at given moments, and its CPU time and wake-ups (context switches of all its threads) between two moments.
// Ends it with SIGTERM afterwards.
//   vorlan-bench-probe [--window TITLE] [--rss-at S] [--from S --to S] -- PROGRAM ARGS...
// VORLAN_BENCH_VERBOSE=1 names every window mapped on stderr. Prints one line: map_ms=... first_map_ms=...
// rss_kb=... cpu_ms=... wakeups=... rss_to_kb=... (a value that was not asked for, or could not be had, is
// -1). The exec moment is passed to the program in VORLAN_BENCH_T0_NS for the first-sound note
// (FirstSound.cpp).
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

double nowNs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

long statusField(const std::string &path, const char *key)
{
    FILE *f = std::fopen(path.c_str(), "r");
    if (!f)
        return -1;
    char line[256];
    long value = -1;
    const size_t n = std::strlen(key);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, key, n) == 0 && line[n] == ':') {
            value = std::strtol(line + n + 1, nullptr, 10);
            break;
        }
    std::fclose(f);
    return value;
}

long rssKb(pid_t pid)
{
    return statusField("/proc/" + std::to_string(pid) + "/status", "VmRSS");
}

// Calls f with the /proc folder of each of the process's threads; false when the process is gone.
template <class F> bool eachThread(pid_t pid, F f)
{
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    DIR *d = opendir(dir.c_str());
    if (!d)
        return false;
    while (dirent *e = readdir(d))
        if (e->d_name[0] != '.')
            f(dir + "/" + e->d_name);
    closedir(d);
    return true;
}

// Voluntary and involuntary switches of every thread: each is the thread going to sleep or being put off.
long wakeups(pid_t pid)
{
    long sum = 0;
    const bool alive = eachThread(pid, [&sum](const std::string &task) {
        for (const char *key : {"voluntary_ctxt_switches", "nonvoluntary_ctxt_switches"})
            sum += std::max(0L, statusField(task + "/status", key));
    });
    return alive ? sum : -1;
}

// CPU time of the process's threads, in milliseconds, to the nanosecond: the ticks of /proc/PID/stat are
// 10 ms, as much as a tenth of what a second of play costs. (A thread that ends takes its time with it; the
// programs measured keep theirs while they play.)
double threadsCpuMs(pid_t pid)
{
    double ns = 0;
    bool any = false;
    eachThread(pid, [&](const std::string &task) {
        FILE *f = std::fopen((task + "/schedstat").c_str(), "r");
        if (!f)
            return;
        unsigned long long onCpu = 0;
        if (std::fscanf(f, "%llu", &onCpu) == 1) {
            ns += double(onCpu);
            any = true;
        }
        std::fclose(f);
    });
    return any ? ns / 1e6 : -1;
}

// User and system CPU of the whole process, in milliseconds.
double cpuMs(pid_t pid)
{
    const double precise = threadsCpuMs(pid);
    if (precise >= 0)
        return precise;
    FILE *f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (!f)
        return -1;
    char buf[2048];
    const size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    buf[n] = 0;
    const char *p = std::strrchr(buf, ')');
    if (!p)
        return -1;
    unsigned long utime = 0, stime = 0;
    // After the name: state, then fields 4..13, then utime (14) and stime (15).
    if (std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2)
        return -1;
    return double(utime + stime) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

std::string windowName(Display *dpy, Window w)
{
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char *data = nullptr;
    std::string name;
    const Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
    for (Atom prop : {netName, Atom(XA_WM_NAME)}) {
        if (XGetWindowProperty(dpy, w, prop, 0, 1024, False, AnyPropertyType, &type, &format, &items, &after,
                               &data) == Success &&
            data) {
            name.assign(reinterpret_cast<char *>(data), items);
            XFree(data);
            data = nullptr;
            if (!name.empty())
                break;
        }
    }
    return name;
}

void sleepUntil(double t0, double seconds)
{
    const double target = t0 + seconds * 1e9;
    while (true) {
        const double left = target - nowNs();
        if (left <= 0)
            return;
        timespec ts{time_t(left / 1e9), long(std::fmod(left, 1e9))};
        nanosleep(&ts, nullptr);
    }
}

int usage()
{
    std::fprintf(
        stderr,
        "usage: vorlan-bench-probe [--window TITLE] [--rss-at S] [--from S --to S] -- PROGRAM ARGS\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    const char *title = nullptr;
    double rssAt = -1, from = -1, to = -1;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--")
            break;
        if (i + 1 >= argc)
            return usage();
        if (a == "--window")
            title = argv[++i];
        else if (a == "--rss-at")
            rssAt = std::atof(argv[++i]);
        else if (a == "--from")
            from = std::atof(argv[++i]);
        else if (a == "--to")
            to = std::atof(argv[++i]);
        else
            return usage();
    }
    if (i + 1 >= argc)
        return usage();
    char **command = argv + i + 1;

    Display *dpy = nullptr;
    if (title) {
        // A server that was just started may still be setting up.
        for (int k = 0; k < 50 && !(dpy = XOpenDisplay(nullptr)); ++k)
            usleep(100000);
        if (!dpy) {
            std::fprintf(stderr, "vorlan-bench-probe: no X display\n");
            return 1;
        }
        XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
        XSync(dpy, False);
    }

    const double t0 = nowNs();
    char t0text[64];
    std::snprintf(t0text, sizeof t0text, "%.0f", t0);
    setenv("VORLAN_BENCH_T0_NS", t0text, 1);
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(command[0], command);
        std::fprintf(stderr, "vorlan-bench-probe: cannot start %s: %s\n", command[0], std::strerror(errno));
        _exit(127);
    }
    if (pid < 0)
        return 1;

    double mapMs = -1, firstMapMs = -1;
    if (dpy) {
        const int fd = ConnectionNumber(dpy);
        while (mapMs < 0 && (nowNs() - t0) < 20e9) {
            while (XPending(dpy)) {
                XEvent e;
                XNextEvent(dpy, &e);
                if (e.type != MapNotify)
                    continue;
                const double ms = (nowNs() - t0) / 1e6;
                if (firstMapMs < 0)
                    firstMapMs = ms;
                const std::string name = windowName(dpy, e.xmap.window);
                if (std::getenv("VORLAN_BENCH_VERBOSE"))
                    std::fprintf(stderr, "map %.1f ms: \"%s\"\n", ms, name.c_str());
                if (name == title)
                    mapMs = ms;
            }
            if (mapMs >= 0 || waitpid(pid, nullptr, WNOHANG) == pid)
                break;
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, 50);
        }
    }

    long rss = -1, rssTo = -1, w0 = -1, w1 = -1;
    double c0 = -1, c1 = -1;
    // The moments in order; each measure at its own.
    struct Moment {
        double at;
        int what;
    } moments[3] = {{rssAt, 0}, {from, 1}, {to, 2}};
    std::qsort(moments, 3, sizeof(Moment), [](const void *a, const void *b) {
        const double d = static_cast<const Moment *>(a)->at - static_cast<const Moment *>(b)->at;
        return d < 0 ? -1 : d > 0 ? 1 : 0;
    });
    for (const Moment &m : moments) {
        if (m.at < 0)
            continue;
        sleepUntil(t0, m.at);
        if (m.what == 0)
            rss = rssKb(pid);
        else if (m.what == 1) {
            c0 = cpuMs(pid);
            w0 = wakeups(pid);
        } else {
            c1 = cpuMs(pid);
            w1 = wakeups(pid);
            rssTo = rssKb(pid);
        }
    }
    kill(pid, SIGTERM);
    int status = 0;
    for (int k = 0; k < 50 && waitpid(pid, &status, WNOHANG) == 0; ++k)
        usleep(100000);
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    if (dpy)
        XCloseDisplay(dpy);
    const double cpu = (c0 >= 0 && c1 >= 0) ? c1 - c0 : -1;
    const double wake = (w0 >= 0 && w1 >= 0 && to > from) ? double(w1 - w0) / (to - from) : -1;
    std::printf("map_ms=%.1f first_map_ms=%.1f rss_kb=%ld cpu_ms=%.1f wakeups=%.1f rss_to_kb=%ld\n", mapMs,
                firstMapMs, rss, cpu, wake, rssTo);
    return 0;
}
