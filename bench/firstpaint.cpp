// Start-up as the user sees it, measured from outside the program: starts a
// command under the current X display and reports the time from just before
// its exec to the first paint the X server receives into one of its windows,
// with its resident memory at that moment.
//
// The watcher listens for every window created on the root window and puts a
// damage watch on it at once, before the window can be mapped and painted.
// A window belongs to the program when its _NET_WM_PID is the child's; a
// window manager's frames (the client window is reparented into one) are
// watched too and passed over by that test. A window of the program already
// shown when its watch began (the watcher was slow to hear of it) is caught
// by a watch on everything drawn on the screen, kept from the start. With --settle it then waits
// until the program has gone quiet (under 3 % of one core for a whole second)
// and reports its memory once more: what it holds once everything it loads
// after the first paint is in. With --title, the first window painted must be
// the one of that title, and once settled it must still have the keyboard
// focus. With --cpu it also reads the processor time the program had used
// (all its threads, user and system) when its first paint was received.
//
// Usage: firstpaint [--timeout SECONDS] [--title TEXT] [--settle] [--cpu] COMMAND [ARGUMENT...]
// Prints "paint T ms M kB" (then " cpu C ms", and " settled T ms M kB") and exits with 0, or
// "FAILED: reason" and exits with 1: the program could not be started, ended
// before it painted, painted a window other than the one titled TEXT first or
// gave the keys to another while settling, or nothing came within the timeout
// (10 s). The program is then ended (SIGTERM, SIGKILL after 3 s) and
// reaped either way; what it prints goes to the watcher's standard error.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

double nowMs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

// "T ms M kB", the time to a tenth of a millisecond.
std::string figure(double ms, long kb)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.1f ms %ld kB", ms, kb);
    return text;
}

[[noreturn]] void fail(const std::string &why)
{
    std::printf("FAILED: %s\n", why.c_str());
    std::exit(1);
}

// A window destroyed between its creation and our watch on it (or our
// question about it) is of no interest; its errors are not faults.
int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

long residentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// User and system time of the process so far, in clock ticks.
long cpuTicks(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number == 14)
            utime = std::atol(field.c_str());
        if (number == 15)
            stime = std::atol(field.c_str());
    }
    return utime + stime;
}

// Processor time the whole process has used so far, to the nanosecond (the
// clock ticks of /proc are 10 ms); -1 when it cannot be read.
double cpuMs(pid_t pid)
{
    clockid_t clock {};
    timespec used {};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &used) != 0)
        return -1;
    return double(used.tv_sec) * 1000.0 + double(used.tv_nsec) / 1e6;
}

std::optional<long> windowPid(Display *display, Window window)
{
    static const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    std::optional<long> pid;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
            Success &&
        data && format == 32 && count == 1)
        pid = *reinterpret_cast<long *>(data);
    if (data)
        XFree(data);
    return pid;
}

std::string windowTitle(Display *display, Window window)
{
    static const Atom nameAtom = XInternAtom(display, "_NET_WM_NAME", False);
    static const Atom utf8Atom = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, nameAtom, 0, 1024, False, utf8Atom, &type, &format, &count, &after,
                           &data) == Success &&
        data && format == 8)
        title.assign(reinterpret_cast<char *>(data), count);
    if (data)
        XFree(data);
    if (title.empty()) {
        char *name = nullptr;
        if (XFetchName(display, window, &name) && name) {
            title = name;
            XFree(name);
        }
    }
    return title;
}

// The title of the window that has the keyboard focus, or of the nearest of
// its ancestors that has one; empty when no window has it.
std::string focusedTitle(Display *display)
{
    Window window = None;
    int revert = 0;
    XGetInputFocus(display, &window, &revert);
    while (window != None && window != PointerRoot) {
        const std::string title = windowTitle(display, window);
        if (!title.empty())
            return title;
        Window root = None;
        Window parent = None;
        Window *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count))
            break;
        if (children)
            XFree(children);
        window = parent == root ? None : parent;
    }
    return {};
}

// Whether an area drawn on the screen (root coordinates) falls on the window
// while it is shown.
bool drawnOn(Display *display, Window window, const XRectangle &area)
{
    XWindowAttributes attributes {};
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    int x = 0;
    int y = 0;
    Window child = None;
    if (!XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child))
        return false;
    return area.x < x + attributes.width && x < area.x + area.width && area.y < y + attributes.height &&
        y < area.y + area.height;
}

std::string howItEnded(int status)
{
    if (WIFEXITED(status))
        return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return std::string("killed by signal ") + std::to_string(WTERMSIG(status)) + " (" +
            strsignal(WTERMSIG(status)) + ")";
    return "status " + std::to_string(status);
}

class Child
{
public:
    // Starts the command in a process group of its own, its output on our
    // standard error; the exec's failure comes back through a pipe closed on
    // a successful exec.
    Child(char **command, double &startMs)
    {
        int pipeEnds[2];
        if (pipe2(pipeEnds, O_CLOEXEC) != 0)
            fail(std::string("no pipe: ") + std::strerror(errno));
        std::fflush(stdout);
        startMs = nowMs();
        m_pid = fork();
        if (m_pid < 0)
            fail(std::string("cannot fork: ") + std::strerror(errno));
        if (m_pid == 0) {
            setpgid(0, 0);
            dup2(STDERR_FILENO, STDOUT_FILENO);
            execvp(command[0], command);
            const int error = errno;
            (void)!write(pipeEnds[1], &error, sizeof error);
            _exit(127);
        }
        setpgid(m_pid, m_pid);
        close(pipeEnds[1]);
        int error = 0;
        const bool execFailed = read(pipeEnds[0], &error, sizeof error) == sizeof error;
        close(pipeEnds[0]);
        m_pidfd = int(syscall(SYS_pidfd_open, m_pid, 0));
        if (execFailed) {
            reap();
            fail(std::string("cannot run ") + command[0] + ": " + std::strerror(error));
        }
        if (m_pidfd < 0) {
            end();
            fail(std::string("cannot watch the program's end (pidfd_open): ") + std::strerror(errno));
        }
    }

    pid_t pid() const { return m_pid; }
    int endFd() const { return m_pidfd; }

    // How it ended when it has, nothing while it runs.
    std::optional<std::string> ended()
    {
        int status = 0;
        if (m_reaped || waitpid(m_pid, &status, WNOHANG) != m_pid)
            return std::nullopt;
        m_reaped = true;
        return howItEnded(status);
    }

    void end()
    {
        if (m_reaped)
            return;
        kill(-m_pid, SIGTERM);
        pollfd ending {m_pidfd, POLLIN, 0};
        if (m_pidfd < 0 || poll(&ending, 1, 3000) <= 0)
            kill(-m_pid, SIGKILL);
        reap();
    }

private:
    void reap()
    {
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) { }
        m_reaped = true;
        // Anything the program started and left behind in its group.
        kill(-m_pid, SIGKILL);
    }

    pid_t m_pid = -1;
    int m_pidfd = -1;
    bool m_reaped = false;
};

struct Options
{
    double timeoutMs = 10000;
    std::optional<std::string> title;
    bool settle = false;
    bool cpu = false;
    char **command = nullptr;
};

Options parse(int argc, char **argv)
{
    Options options;
    int at = 1;
    for (; at < argc && argv[at][0] == '-'; ++at) {
        const std::string option = argv[at];
        if (option == "--")
            break;
        if (option == "--settle")
            options.settle = true;
        else if (option == "--cpu")
            options.cpu = true;
        else if (option == "--timeout" && at + 1 < argc)
            options.timeoutMs = std::atof(argv[++at]) * 1000.0;
        else if (option == "--title" && at + 1 < argc)
            options.title = argv[++at];
        else
            fail("unknown option " + option);
    }
    if (at < argc && std::string(argv[at]) == "--")
        ++at;
    if (at >= argc || options.timeoutMs <= 0)
        fail("usage: firstpaint [--timeout SECONDS] [--title TEXT] [--settle] [--cpu] COMMAND [ARGUMENT...]");
    options.command = argv + at;
    return options;
}

} // namespace

int main(int argc, char **argv)
{
    const Options options = parse(argc, argv);
    signal(SIGPIPE, SIG_IGN);
    // A server just started, or busy with others' clients, may turn the
    // first connection away; no time is taken yet.
    Display *display = nullptr;
    for (int attempt = 0; !display && attempt < 10; ++attempt) {
        if (attempt)
            usleep(200 * 1000);
        display = XOpenDisplay(nullptr);
    }
    if (!display)
        fail(std::string("cannot open the X display ") + XDisplayName(nullptr));
    int damageEvent = 0;
    int damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError))
        fail("the X server has no DAMAGE extension");
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    // Everything drawn on the screen, for a window whose watch came too late
    // (see below).
    const Damage screenDamage = XDamageCreate(display, root, XDamageReportRawRectangles);
    XSync(display, False);

    double startMs = 0;
    Child child(options.command, startMs);
    const double deadline = startMs + options.timeoutMs;
    auto failAndEnd = [&](const std::string &why) {
        child.end();
        fail(why);
    };

    double paintMs = 0;
    long paintKb = -1;
    double paintCpuMs = -1;
    bool painted = false;
    std::vector<Damage> damages;
    // The program's windows shown before their watch began: they may have been
    // painted already, so their first paint is taken from the screen's damage.
    std::vector<Window> lateWindows;
    auto paintedOn = [&](Window window) {
        paintKb = residentKilobytes(child.pid());
        if (options.cpu)
            paintCpuMs = cpuMs(child.pid());
        painted = true;
        const std::string title = windowTitle(display, window);
        if (options.title && title != *options.title)
            failAndEnd("the first window painted was \"" + title + "\", not \"" + *options.title + "\"");
    };
    while (!painted) {
        while (!painted && XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify) {
                const Window window = event.xcreatewindow.window;
                damages.push_back(XDamageCreate(display, window, XDamageReportNonEmpty));
                // Shown already, it may have been painted before the watch
                // began; the screen's damage, watched from the start, has
                // that paint in its queue after this creation.
                XWindowAttributes attributes {};
                if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state != IsUnmapped &&
                    windowPid(display, window) == child.pid())
                    lateWindows.push_back(window);
            } else if (event.type == damageEvent + XDamageNotify) {
                const auto *damage = reinterpret_cast<const XDamageNotifyEvent *>(&event);
                const double atMs = nowMs();
                if (damage->damage == screenDamage) {
                    for (const Window window : lateWindows)
                        if (drawnOn(display, window, damage->area)) {
                            paintMs = atMs - startMs;
                            paintedOn(window);
                            break;
                        }
                    continue;
                }
                if (windowPid(display, damage->drawable) != child.pid()) {
                    XDamageSubtract(display, damage->damage, None, None);
                    continue;
                }
                paintMs = atMs - startMs;
                paintedOn(damage->drawable);
            }
        }
        if (painted)
            break;
        if (const auto how = child.ended())
            fail("the program ended before it painted (" + *how + ")");
        const double left = deadline - nowMs();
        if (left <= 0)
            failAndEnd("no paint within " + std::to_string(int(options.timeoutMs / 1000)) + " s");
        pollfd waits[] = {{ConnectionNumber(display), POLLIN, 0}, {child.endFd(), POLLIN, 0}};
        poll(waits, 2, int(left) + 1);
    }
    if (paintKb < 0)
        failAndEnd("the program's memory could not be read");
    std::string report = "paint " + figure(paintMs, paintKb);
    if (options.cpu) {
        if (paintCpuMs < 0)
            failAndEnd("the program's processor time could not be read");
        char text[32];
        std::snprintf(text, sizeof text, " cpu %.1f ms", paintCpuMs);
        report += text;
    }

    if (options.settle) {
        // Quiet: under 3 % of one core over the last second, sampled every 100 ms.
        const long ticksPerSecond = sysconf(_SC_CLK_TCK);
        std::vector<long> samples;
        const double settleDeadline = nowMs() + options.timeoutMs;
        for (;;) {
            if (const auto how = child.ended())
                fail("the program ended before it settled (" + *how + ")");
            samples.push_back(cpuTicks(child.pid()));
            if (samples.size() > 10 && samples.back() - samples[samples.size() - 11] < 0.03 * double(ticksPerSecond)) {
                // What the program opened after its first paint must not
                // have taken the keys from that window.
                const std::string focused = focusedTitle(display);
                if (options.title && focused != *options.title)
                    failAndEnd("once settled, the keys went to \"" + focused + "\", not \"" + *options.title + "\"");
                const long kb = residentKilobytes(child.pid());
                report += " settled " + figure(nowMs() - startMs, kb);
                break;
            }
            if (nowMs() > settleDeadline)
                failAndEnd("not settled within " + std::to_string(int(options.timeoutMs / 1000)) + " s");
            pollfd ending {child.endFd(), POLLIN, 0};
            poll(&ending, 1, 100);
        }
    }
    child.end();
    XCloseDisplay(display);
    std::printf("%s\n", report.c_str());
    return 0;
}
