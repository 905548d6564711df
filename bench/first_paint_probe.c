/* Loaded with LD_PRELOAD into the window program under X: the first image
 * the program sends to the X server (MIT-SHM or plain PutImage, as Qt's
 * xcb back end flushes a window's backing store) is its first paint. Its
 * time (CLOCK_REALTIME, microseconds) goes to the file FIRST_PAINT_FILE
 * names, and the program ends at once, without painting it or saving
 * anything. Used by bench/window_first_paint.sh. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>
static void record(void) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const char* path = getenv("FIRST_PAINT_FILE");
    FILE* out = path ? fopen(path, "w") : stderr;
    fprintf(out, "%lld\n", (long long)now.tv_sec * 1000000 + now.tv_nsec / 1000);
    if (out != stderr) fclose(out);
    _exit(0);
}
typedef struct {
    unsigned int sequence;
} cookie;
cookie xcb_shm_put_image(void* c, uint32_t d, uint32_t g, uint16_t tw, uint16_t th, uint16_t sx,
                         uint16_t sy, uint16_t sw, uint16_t sh, int16_t dx, int16_t dy,
                         uint8_t depth, uint8_t format, uint8_t send, uint32_t shmseg,
                         uint32_t offset) {
    (void)c;
    (void)d;
    (void)g;
    (void)tw;
    (void)th;
    (void)sx;
    (void)sy;
    (void)sw;
    (void)sh;
    (void)dx;
    (void)dy;
    (void)depth;
    (void)format;
    (void)send;
    (void)shmseg;
    (void)offset;
    record();
    cookie k = {0};
    return k;
}
cookie xcb_put_image(void* c, uint8_t format, uint32_t d, uint32_t g, uint16_t w, uint16_t h,
                     int16_t x, int16_t y, uint8_t pad, uint8_t depth, uint32_t len,
                     const uint8_t* data) {
    (void)c;
    (void)format;
    (void)d;
    (void)g;
    (void)w;
    (void)h;
    (void)x;
    (void)y;
    (void)pad;
    (void)depth;
    (void)len;
    (void)data;
    record();
    cookie k = {0};
    return k;
}
