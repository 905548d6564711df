#include "cli/stop_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace quillmere {

namespace {

static_assert(std::atomic<int>::is_always_lock_free, "the handler needs a lock-free flag");

// What the handler may touch: lock-free atomics and the pipe's descriptor.
std::atomic<int> firstSignal{0};
std::atomic<int> wakeDescriptor{-1};

// A byte that wakes the watcher without a signal: the run is over.
constexpr char kQuit = 0;

struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

extern "C" void noteSignal(int signal) {
    const int savedErrno = errno;
    int expected = 0;
    if (!firstSignal.compare_exchange_strong(expected, signal)) {
        if (signal == SIGINT) {
            // The second Ctrl-C: the default action once the handler returns.
            ::signal(SIGINT, SIG_DFL);
            ::raise(SIGINT);
        }
        errno = savedErrno;
        return;
    }
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(wakeDescriptor.load(), &byte, 1);
    errno = savedErrno;
}

void install(int signal, struct sigaction* previous) {
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, previous);
}

}  // namespace

StopSignals::StopSignals(std::function<void()> stop) : stop_(std::move(stop)) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe");
    firstSignal = 0;
    wakeDescriptor = ends[1];
    readEnd_ = ends[0];
    watcher_ = std::thread([this, readEnd = ends[0]] {
        char byte = kQuit;
        ssize_t got = 0;
        do {
            got = ::read(readEnd, &byte, 1);
        } while (got < 0 && errno == EINTR);
        if (got == 1 && byte != kQuit) stop_();
    });
    install(SIGINT, &previousInterrupt);
    install(SIGTERM, &previousTerminate);
}

StopSignals::~StopSignals() {
    ::sigaction(SIGINT, &previousInterrupt, nullptr);
    ::sigaction(SIGTERM, &previousTerminate, nullptr);
    const int writeEnd = wakeDescriptor.exchange(-1);
    // Wakes the watcher unless a signal did. The read end stays open until
    // then: a write into a pipe nobody reads would raise SIGPIPE.
    const char byte = kQuit;
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    watcher_.join();
    ::close(writeEnd);
    ::close(readEnd_);
}

int StopSignals::received() const {
    return firstSignal.load();
}

}  // namespace quillmere
