// Makes every flush to the disk (fsync, fdatasync, syncfs) take longer, as
// on a SATA SSD, a USB disk or a network share, where a flush costs
// milliseconds. Loaded with LD_PRELOAD; FLUSH_DELAY_US sets the delay in
// microseconds (default 2000).
//   cc -O2 -shared -fPIC -o flush_delay.so flush_delay.c -ldl
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <time.h>

static void wait_a_flush(void) {
    static long delay = -1;
    if (delay < 0) {
        const char* text = getenv("FLUSH_DELAY_US");
        delay = text ? atol(text) : 2000;
    }
    struct timespec pause = {delay / 1000000, (delay % 1000000) * 1000};
    while (nanosleep(&pause, &pause) != 0) {
    }
}

#define WRAP(name)                                               \
    int name(int fd) {                                           \
        static int (*real)(int);                                 \
        if (!real) real = (int (*)(int))dlsym(RTLD_NEXT, #name); \
        wait_a_flush();                                          \
        return real(fd);                                         \
    }

WRAP(fsync)
WRAP(fdatasync)
WRAP(syncfs)
