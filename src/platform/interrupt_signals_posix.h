// The signals that interrupt a run on POSIX systems: Ctrl-C (SIGINT), TERM
// and HUP. The page files remove a half-written temporary file on them, and
// hz2book stops its programs and removes its work directory.
#ifndef HZ2HTML_PLATFORM_INTERRUPT_SIGNALS_POSIX_H_
#define HZ2HTML_PLATFORM_INTERRUPT_SIGNALS_POSIX_H_

#include <signal.h>
#include <string.h>

namespace hz {

// Hands the three signals to handler.
inline void HandleInterruptSignals(void (*handler)(int)) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(sig, &action, nullptr);
  }
}

}  // namespace hz

#endif  // HZ2HTML_PLATFORM_INTERRUPT_SIGNALS_POSIX_H_
