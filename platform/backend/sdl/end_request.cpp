#include "backend/sdl/end_request.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace zorbalin {

namespace {

volatile sig_atomic_t EndRequested = 0;
int WakePipe[2] = {-1, -1};

void OnEndSignal(int) {
    const int savedErrno = errno;
    EndRequested = 1;
    if (WakePipe[1] >= 0) {
        ssize_t ignored = ::write(WakePipe[1], "", 1);
        (void)ignored; // a full pipe already wakes the loop
    }
    errno = savedErrno;
}

} // namespace

void InstallEndSignals() {
    if (WakePipe[0] < 0 && ::pipe2(WakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        WakePipe[0] = WakePipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        // Whoever started the program may have meant it to outlive its terminal (nohup, the
        // background jobs of a script): an interrupt or hang-up ignored then stays ignored.
        struct sigaction before {};
        if (signal != SIGTERM && ::sigaction(signal, nullptr, &before) == 0 &&
            before.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
}

bool TakeEndRequest() {
    if (!EndRequested)
        return false;
    EndRequested = 0;
    char drained[64];
    while (WakePipe[0] >= 0 && ::read(WakePipe[0], drained, sizeof drained) > 0) {
    }
    return true;
}

int EndRequestFd() {
    return WakePipe[0];
}

} // namespace zorbalin
