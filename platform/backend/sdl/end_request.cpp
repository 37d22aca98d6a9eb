#include "backend/sdl/end_request.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace zorbalin {

namespace {

volatile sig_atomic_t gEndRequested = 0;
int gWakePipe[2] = {-1, -1};

void OnEndSignal(int) {
    const int savedErrno = errno;
    gEndRequested = 1;
    if (gWakePipe[1] >= 0) {
        ssize_t ignored = ::write(gWakePipe[1], "", 1);
        (void)ignored; // a full pipe already wakes the loop
    }
    errno = savedErrno;
}

} // namespace

void InstallEndSignals() {
    if (gWakePipe[0] < 0 && ::pipe2(gWakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        gWakePipe[0] = gWakePipe[1] = -1;
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
    if (!gEndRequested)
        return false;
    gEndRequested = 0;
    char drained[64];
    while (gWakePipe[0] >= 0 && ::read(gWakePipe[0], drained, sizeof drained) > 0) {
    }
    return true;
}

int EndRequestFd() {
    return gWakePipe[0];
}

} // namespace zorbalin
