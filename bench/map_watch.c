/* Times a program's start to its first window on screen, for the start-up benchmark.
 *
 * map_watch PROGRAM [ARGS...] listens for windows mapped on $DISPLAY's root, starts the
 * program, and prints three numbers: milliseconds from the start to the first MapNotify,
 * the program's RSS (KiB) then, and its RSS one second later. The program is then sent
 * SIGTERM. The listening is confirmed by the X server before the start, so no map is missed.
 * With MAP_WATCH_SMAPS=FILE in the environment, the program's /proc smaps at the map is
 * copied to FILE (to see which mappings the RSS lies in).
 * Exit status 2: no window mapped within 20 s. */
#define _GNU_SOURCE
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

extern char** environ;

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static long rss_kib(pid_t pid) {
    char path[64], line[256];
    long kib = 0;
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE* f = fopen(path, "r");
    if (!f) return 0;
    while (fgets(line, sizeof line, f))
        if (strncmp(line, "VmRSS:", 6) == 0) kib = strtol(line + 6, NULL, 10);
    fclose(f);
    return kib;
}

static void copy_smaps(pid_t pid, const char* to) {
    char path[64], buf[65536];
    snprintf(path, sizeof path, "/proc/%d/smaps", (int)pid);
    FILE* in = fopen(path, "r");
    FILE* out = fopen(to, "w");
    size_t n;
    while (in && out && (n = fread(buf, 1, sizeof buf, in)) > 0)
        fwrite(buf, 1, n, out);
    if (in) fclose(in);
    if (out) fclose(out);
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: map_watch PROGRAM [ARGS...]\n");
        return 1;
    }
    xcb_connection_t* c = xcb_connect(NULL, NULL);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "map_watch: cannot open the display\n");
        return 1;
    }
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_generic_error_t* err =
        xcb_request_check(c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask));
    if (err) {
        fprintf(stderr, "map_watch: cannot listen on the root window\n");
        return 1;
    }

    pid_t pid;
    double start = now_ms();
    if (posix_spawn(&pid, argv[1], NULL, NULL, argv + 1, environ) != 0) {
        perror("map_watch: posix_spawn");
        return 1;
    }
    double mapped = -1;
    struct pollfd p = {xcb_get_file_descriptor(c), POLLIN, 0};
    while (mapped < 0 && now_ms() - start < 20000) {
        xcb_generic_event_t* e;
        while ((e = xcb_poll_for_event(c)) != NULL) {
            if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY && mapped < 0) mapped = now_ms() - start;
            free(e);
        }
        if (mapped < 0 && (poll(&p, 1, 100) < 0 || xcb_connection_has_error(c))) break;
    }
    long rss = rss_kib(pid);
    const char* smaps = getenv("MAP_WATCH_SMAPS");
    if (smaps && mapped >= 0) copy_smaps(pid, smaps);
    sleep(1);
    long settled = rss_kib(pid);
    kill(pid, SIGTERM);
    waitpid(pid, NULL, 0);
    xcb_disconnect(c);
    if (mapped < 0) {
        fprintf(stderr, "map_watch: no window mapped: %s\n", argv[1]);
        return 2;
    }
    printf("%.2f %ld %ld\n", mapped, rss, settled);
    return 0;
}
