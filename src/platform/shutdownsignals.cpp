#include "platform/shutdownsignals.h"

#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace plovista {

namespace {

constexpr std::array kSignals = {SIGINT, SIGTERM, SIGHUP};

// Only what a signal handler may touch safely: the pipe to the event loop
// and a count of the signals taken.
int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_taken = 0;
// The dispositions found before, put back when the watcher goes.
std::array<struct sigaction, kSignals.size()> g_previous = {};
std::array<bool, kSignals.size()> g_installed = {};

void onSignal(int sig)
{
    if (g_taken > 0) {
        // The first request was not acted on: end as without a handler.
        ::signal(sig, SIG_DFL);
        ::raise(sig);
        return;
    }
    g_taken = 1;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_pipe[0], &byte, 1);
}

} // namespace

ShutdownSignals::ShutdownSignals(std::function<void()> callback, QObject *parent)
    : QObject(parent)
    , m_onSignal(std::move(callback))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    ::fcntl(g_pipe[0], F_SETFL, O_NONBLOCK);
    g_taken = 0;
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(g_pipe[1], &byte, 1);
        m_notifier->setEnabled(false);
        if (m_onSignal)
            m_onSignal();
    });
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
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

} // namespace plovista
