#include "platform/shutdownsignals.h"

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <memory>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>

namespace plovista {

namespace {

constexpr std::array kSignals = {SIGINT, SIGTERM, SIGHUP};

// Only what a signal handler may touch safely: the two pipes, one to the
// event loop and one to the last resort's thread, and a count of the
// signals taken (lock-free, as signals may come on two threads at once).
int g_toLoop[2] = {-1, -1};
int g_toLastResort[2] = {-1, -1};
std::atomic<int> g_taken = 0;
std::atomic<bool> g_lastResortReady = false;
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);
// The dispositions found before, put back when the watcher goes.
std::array<struct sigaction, kSignals.size()> g_previous = {};
std::array<bool, kSignals.size()> g_installed = {};

// Ends the process as the signal would have without a handler. In the
// handler the signal stays blocked until it returns, and then ends it.
void endAsWithoutHandler(int sig)
{
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

void onSignal(int sig)
{
    const int taken = ++g_taken;
    const char byte = static_cast<char>(sig);
    if (taken == 1) {
        [[maybe_unused]] const auto written = ::write(g_toLoop[0], &byte, 1);
        return;
    }
    // The first request was not acted on, or is taking too long.
    if (taken == 2 && g_lastResortReady) {
        [[maybe_unused]] const auto written = ::write(g_toLastResort[0], &byte, 1);
        return;
    }
    endAsWithoutHandler(sig);
}

bool openPipe(int (&ends)[2])
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return false;
    ::fcntl(ends[0], F_SETFL, O_NONBLOCK);
    return true;
}

void closePipe(int (&ends)[2])
{
    for (int &end : ends) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

// Waits for the second signal; runs the last resort for a bounded time on a
// thread of its own (an X server that stopped answering would hold it for
// ever), then ends the process by that signal. Returns when the watcher goes.
void waitForSecondSignal(const std::function<void()> &lastResort, int from)
{
    char byte = 0;
    ssize_t got = 0;
    do
        got = ::read(from, &byte, 1);
    while (got < 0 && errno == EINTR);
    if (got != 1)
        return;
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    std::thread([lastResort, done] {
        lastResort();
        done->set_value();
    }).detach();
    finished.wait_for(ShutdownSignals::LastResortWait);
    const int sig = static_cast<unsigned char>(byte);
    endAsWithoutHandler(sig);
    // Only a process that blocks the signal on every thread gets here.
    std::_Exit(128 + sig);
}

} // namespace

ShutdownSignals::ShutdownSignals(std::function<void()> callback, std::function<void()> lastResort, QObject *parent)
    : QObject(parent)
    , m_onSignal(std::move(callback))
    , m_lastResort(std::move(lastResort))
{
    if (!openPipe(g_toLoop))
        return;
    g_taken = 0;
    g_lastResortReady = false;
    m_notifier = new QSocketNotifier(g_toLoop[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(g_toLoop[1], &byte, 1);
        m_notifier->setEnabled(false);
        if (m_onSignal)
            m_onSignal();
    });
    if (m_lastResort && openPipe(g_toLastResort)) {
        try {
            m_lastResortThread = std::thread(waitForSecondSignal, m_lastResort, g_toLastResort[1]);
            g_lastResortReady = true;
        } catch (const std::system_error &) {
            // Without the thread a second signal ends the process at once.
            closePipe(g_toLastResort);
        }
    }

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        g_installed[i] = false;
        if (sigaction(kSignals[i], nullptr, &g_previous[i]) != 0 || g_previous[i].sa_handler == SIG_IGN)
            continue;
        g_installed[i] = sigaction(kSignals[i], &action, nullptr) == 0;
    }
}

ShutdownSignals::~ShutdownSignals()
{
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        if (g_installed[i])
            sigaction(kSignals[i], &g_previous[i], nullptr);
    g_lastResortReady = false;
    if (m_lastResortThread.joinable()) {
        // The thread reads the end of its pipe and goes.
        ::shutdown(g_toLastResort[0], SHUT_WR);
        m_lastResortThread.join();
    }
    closePipe(g_toLastResort);
    closePipe(g_toLoop);
}

} // namespace plovista
