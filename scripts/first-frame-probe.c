/*
 * Preloaded into kzm-testbed by scripts/bench-first-frame: notes the time of
 * every SDL_RenderPresent, then presents as usual. The program itself is not
 * changed for the measurement.
 *
 * Each present, once SDL has done it, appends one line "<CLOCK_MONOTONIC
 * nanoseconds>" to the file named by KZM_PRESENT_LOG.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

typedef void (*PresentFunction)(void*);

void SDL_RenderPresent(void* renderer)
{
    static PresentFunction real = NULL;
    if (!real)
        real = (PresentFunction)dlsym(RTLD_NEXT, "SDL_RenderPresent");
    if (real)
        real(renderer);
    const char* path = getenv("KZM_PRESENT_LOG");
    if (path) {
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        char line[64];
        const int length = snprintf(line, sizeof line, "%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
        const int file = open(path, O_WRONLY | O_APPEND | O_CREAT, 0644);
        if (file >= 0) {
            if (write(file, line, (size_t)length) < 0) {
                /* nothing to be done: the measurement misses this present */
            }
            close(file);
        }
    }
}
