#include "wall_clock.h"

#include <poll.h>

#include <ctime>
#include <initializer_list>

double WallMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

void SleepOrInput(double ms, int fdA, int fdB, int fdC) {
  pollfd fds[3];
  nfds_t count = 0;
  for (int fd : {fdA, fdB, fdC}) {
    if (fd >= 0) fds[count++] = {fd, POLLIN, 0};
  }
  const long ns = static_cast<long>(ms * 1e6);
  const timespec wait = {ns / 1000000000L, ns % 1000000000L};
  ppoll(fds, count, &wait, nullptr);
}
