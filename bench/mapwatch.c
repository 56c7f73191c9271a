/* Start-up time of an X11 program: from just before fork()+exec() to the moment the X
 * server maps its window (MapNotify, seen through SubstructureNotify on the root window)
 * and to the first drawing inside that window afterwards (a Damage event on the root
 * window that falls inside the window's rectangle). Event-driven, so the resolution is
 * that of the monotonic clock plus one socket wake-up (well under 1 ms). Meant for a
 * server without a window manager (Xvfb), where top-level windows are children of the root.
 *
 *   bench_mapwatch [--runs N] [--warmup W] [--name TITLE] [--timeout S] [--gap MS]
 *                  [--log FILE] [--verbose] -- PROGRAM [ARGS...]
 *
 * Each run starts the program, waits for its window titled TITLE to be mapped and painted,
 * then ends it with SIGTERM. Prints one line per run ("run k mapped_ms painted_ms") and
 * a summary line over the runs after the warm-up ones:
 *   summary mapped_median mapped_min mapped_max painted_median painted_min painted_max
 */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec * 1e3 + (double)ts.tv_nsec / 1e6;
}

/* The program's windows come and go while we look at them: ignore BadWindow and the like. */
static int ignore_errors(Display *d, XErrorEvent *e)
{
    (void)d;
    (void)e;
    return 0;
}

static Atom net_wm_name, utf8_string;

static int title_matches(Display *d, Window w, const char *name)
{
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char *data = NULL;
    int same = 0;
    if (XGetWindowProperty(d, w, net_wm_name, 0, 1024, False, utf8_string, &type, &format, &n, &after, &data)
            == Success
        && data) {
        same = strcmp((const char *)data, name) == 0;
        XFree(data);
        if (same)
            return 1;
    }
    char *wm = NULL;
    if (XFetchName(d, w, &wm) && wm) {
        same = strcmp(wm, name) == 0;
        XFree(wm);
    }
    return same;
}

static int cmp_double(const void *a, const void *b)
{
    const double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

static void stats(double *v, int n, double *median, double *min, double *max)
{
    qsort(v, (size_t)n, sizeof *v, cmp_double);
    *min = v[0];
    *max = v[n - 1];
    *median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

static void usage(void)
{
    fputs("usage: bench_mapwatch [--runs N] [--warmup W] [--name TITLE] [--timeout S] [--gap MS]\n"
          "                      [--log FILE] [--verbose] -- PROGRAM [ARGS...]\n",
          stderr);
    exit(2);
}

int main(int argc, char **argv)
{
    int runs = 10, warmup = 1, timeout_s = 30, gap_ms = 300, verbose = 0;
    const char *name = "Form1", *log = "/dev/null";
    int i = 1;
    for (; i < argc; ++i) {
        if (!strcmp(argv[i], "--") && i + 1 < argc) {
            ++i;
            break;
        }
        if (i + 1 >= argc)
            usage();
        if (!strcmp(argv[i], "--runs"))
            runs = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--warmup"))
            warmup = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--name"))
            name = argv[++i];
        else if (!strcmp(argv[i], "--timeout"))
            timeout_s = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--gap"))
            gap_ms = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--log"))
            log = argv[++i];
        else if (!strcmp(argv[i], "--verbose"))
            verbose = 1;
        else
            usage();
    }
    if (i >= argc || runs < 1 || warmup < 0)
        usage();
    char **program = argv + i;

    Display *d = XOpenDisplay(NULL);
    if (!d) {
        fputs("bench_mapwatch: cannot open the display\n", stderr);
        return 1;
    }
    XSetErrorHandler(ignore_errors);
    net_wm_name = XInternAtom(d, "_NET_WM_NAME", False);
    utf8_string = XInternAtom(d, "UTF8_STRING", False);
    int damage_event, damage_error;
    if (!XDamageQueryExtension(d, &damage_event, &damage_error)) {
        fputs("bench_mapwatch: the X server lacks the DAMAGE extension\n", stderr);
        return 1;
    }
    const Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XDamageCreate(d, root, XDamageReportRawRectangles);
    XSync(d, False);
    const int fd = ConnectionNumber(d);

    const int total = warmup + runs;
    double *mapped = calloc((size_t)runs, sizeof *mapped);
    double *painted = calloc((size_t)runs, sizeof *painted);
    for (int run = 0; run < total; ++run) {
        /* Forget whatever the previous run left behind. */
        XSync(d, False);
        while (XPending(d)) {
            XEvent ev;
            XNextEvent(d, &ev);
        }

        const double t0 = now_ms();
        const pid_t pid = fork();
        if (pid < 0) {
            perror("fork");
            return 1;
        }
        if (pid == 0) {
            const int out = open(log, O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (out >= 0) {
                dup2(out, 1);
                dup2(out, 2);
                close(out);
            }
            close(fd);
            execvp(program[0], program);
            _exit(127);
        }

        Window target = 0;
        XWindowAttributes at = {0};
        double t_map = -1, t_paint = -1;
        const double deadline = t0 + timeout_s * 1e3;
        int failed = 0;
        while (t_paint < 0) {
            while (XPending(d)) {
                XEvent ev;
                XNextEvent(d, &ev);
                const double t = now_ms();
                if (ev.type == MapNotify && !target && !ev.xmap.override_redirect
                    && title_matches(d, ev.xmap.window, name)) {
                    t_map = t;
                    target = ev.xmap.window;
                    XGetWindowAttributes(d, target, &at);
                    if (verbose)
                        fprintf(stderr, "  %8.3f ms  mapped 0x%lx %dx%d+%d+%d\n", t - t0, target, at.width,
                                at.height, at.x, at.y);
                } else if (ev.type == damage_event + XDamageNotify && target) {
                    const XDamageNotifyEvent *de = (const XDamageNotifyEvent *)&ev;
                    const XRectangle *r = &de->area;
                    const int inside = r->x < at.x + at.width && r->x + r->width > at.x && r->y < at.y + at.height
                                       && r->y + r->height > at.y;
                    if (verbose)
                        fprintf(stderr, "  %8.3f ms  damage %dx%d+%d+%d%s\n", t - t0, r->width, r->height, r->x,
                                r->y, inside ? "" : " (elsewhere)");
                    if (inside && t_paint < 0)
                        t_paint = t;
                }
            }
            if (t_paint >= 0)
                break;
            int status;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                fprintf(stderr, "bench_mapwatch: %s ended before its window was painted (status %d)\n", program[0],
                        status);
                return 1;
            }
            const double left = deadline - now_ms();
            if (left <= 0) {
                failed = 1;
                break;
            }
            struct pollfd p = {fd, POLLIN, 0};
            poll(&p, 1, left < 50 ? (int)left + 1 : 50); /* 50 ms: also notices the child ending */
        }
        kill(pid, SIGTERM);
        while (waitpid(pid, NULL, 0) < 0 && errno == EINTR) {
        }
        if (failed) {
            fprintf(stderr, "bench_mapwatch: no window \"%s\" %s within %d s\n", name,
                    target ? "was painted" : "was mapped", timeout_s);
            return 1;
        }
        printf("run %d%s %.3f %.3f\n", run + 1, run < warmup ? " (warm-up)" : "", t_map - t0, t_paint - t0);
        fflush(stdout);
        if (run >= warmup) {
            mapped[run - warmup] = t_map - t0;
            painted[run - warmup] = t_paint - t0;
        }
        usleep((useconds_t)gap_ms * 1000);
    }

    double mm, mn, mx, pm, pn, px;
    stats(mapped, runs, &mm, &mn, &mx);
    stats(painted, runs, &pm, &pn, &px);
    printf("summary %.3f %.3f %.3f %.3f %.3f %.3f\n", mm, mn, mx, pm, pn, px);
    XCloseDisplay(d);
    return 0;
}
