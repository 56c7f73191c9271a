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
 *
 *   --pid           the window to wait for is the program's first top-level window to be
 *                   mapped, whatever its title (its _NET_WM_PID is the started process)
 *   --unmapped-ok S a program that has created its windows but maps none within S seconds
 *                   (one that lives in a tray) counts as started: mapped and painted are
 *                   then -1, and the time its first window was created stands in
 *   --keep          one run; the program is left running. Prints a single line
 *                     kept PID mapped_ms painted_ms created_ms
 *                   (-1 for what did not happen; created_ms is when the program's first
 *                   top-level window was created), or "failed REASON", then closes the
 *                   display and waits for the program to end. SIGTERM, SIGINT or SIGHUP
 *                   are passed on as SIGTERM (SIGKILL after 5 s); the exit status is 0
 *                   once the program has ended.
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

static Atom net_wm_name, net_wm_pid, utf8_string;

static long window_pid(Display *d, Window w)
{
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char *data = NULL;
    long pid = -1;
    if (XGetWindowProperty(d, w, net_wm_pid, 0, 1, False, XA_CARDINAL, &type, &format, &n, &after, &data) == Success
        && data) {
        if (type == XA_CARDINAL && format == 32 && n == 1)
            pid = (long)*(unsigned long *)data;
        XFree(data);
    }
    return pid;
}

static int title_matches(Display *d, Window w, const char *name)
{
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char *data = NULL;
    int same = 0;
    if (XGetWindowProperty(d, w, net_wm_name, 0, 1024, False, utf8_string, &type, &format, &n, &after, &data) == Success
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

/* The window we wait for: by title, or with --pid by the process that owns it. */
static int is_target(Display *d, Window w, const char *name, pid_t pid)
{
    return name ? title_matches(d, w, name) : window_pid(d, w) == (long)pid;
}

static volatile sig_atomic_t stop_requested;
static void request_stop(int sig)
{
    (void)sig;
    stop_requested = 1;
}

/* --keep: the program runs on until we are told to end it, or it ends by itself. The
 * signals are blocked and then waited for, so that one arriving at any moment counts: one
 * that came before the blocking has already set stop_requested. */
static int hold(pid_t pid)
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    sigaddset(&set, SIGCHLD);
    sigprocmask(SIG_BLOCK, &set, NULL);
    int status;
    while (!stop_requested) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return 0;
        const int sig = sigwaitinfo(&set, NULL);
        if (sig == SIGTERM || sig == SIGINT || sig == SIGHUP)
            break;
    }
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return 0;
        usleep(50000);
    }
    kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    return 0;
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
    fputs("usage: bench_mapwatch [--runs N] [--warmup W] [--name TITLE | --pid] [--timeout S] [--gap MS]\n"
          "                      [--unmapped-ok S] [--keep] [--log FILE] [--verbose] -- PROGRAM [ARGS...]\n",
          stderr);
    exit(2);
}

int main(int argc, char **argv)
{
    int runs = 10, warmup = 1, timeout_s = 30, gap_ms = 300, verbose = 0, keep = 0, unmapped_ok_s = 0;
    const char *name = "Form1", *log = "/dev/null";
    int i = 1;
    for (; i < argc; ++i) {
        if (!strcmp(argv[i], "--") && i + 1 < argc) {
            ++i;
            break;
        }
        if (!strcmp(argv[i], "--pid")) {
            name = NULL;
            continue;
        }
        if (!strcmp(argv[i], "--keep")) {
            keep = 1;
            continue;
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
        else if (!strcmp(argv[i], "--unmapped-ok"))
            unmapped_ok_s = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--log"))
            log = argv[++i];
        else if (!strcmp(argv[i], "--verbose"))
            verbose = 1;
        else
            usage();
    }
    if (i >= argc || runs < 1 || warmup < 0)
        usage();
    if (keep) {
        runs = 1;
        warmup = 0;
        struct sigaction sa;
        memset(&sa, 0, sizeof sa);
        sa.sa_handler = request_stop; /* no SA_RESTART: a wait in progress ends at once */
        sigemptyset(&sa.sa_mask);
        sigaction(SIGTERM, &sa, NULL);
        sigaction(SIGINT, &sa, NULL);
        sigaction(SIGHUP, &sa, NULL);
    }
    char **program = argv + i;

    Display *d = XOpenDisplay(NULL);
    if (!d) {
        fputs("bench_mapwatch: cannot open the display\n", stderr);
        return 1;
    }
    XSetErrorHandler(ignore_errors);
    net_wm_name = XInternAtom(d, "_NET_WM_NAME", False);
    net_wm_pid = XInternAtom(d, "_NET_WM_PID", False);
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

        if (keep)
            signal(SIGPIPE, SIG_IGN); /* here, not before the fork: the program keeps its own */

        Window target = 0;
        XWindowAttributes at = {0};
        double t_map = -1, t_paint = -1, t_created = -1;
        const double deadline = t0 + timeout_s * 1e3;
        const double unmapped_deadline = unmapped_ok_s > 0 ? t0 + unmapped_ok_s * 1e3 : -1;
        /* Top-level windows created since the fork; whose they are is asked when it matters,
           since a window gets its title and owner only after it is created. */
        enum { max_created = 512 };
        Window created[max_created];
        double created_at[max_created];
        int n_created = 0;
        int failed = 0, unmapped = 0;
        while (t_paint < 0) {
            while (XPending(d)) {
                XEvent ev;
                XNextEvent(d, &ev);
                const double t = now_ms();
                if (ev.type == CreateNotify && !ev.xcreatewindow.override_redirect && n_created < max_created) {
                    created[n_created] = ev.xcreatewindow.window;
                    created_at[n_created++] = t;
                } else if (ev.type == MapNotify && !target && !ev.xmap.override_redirect
                           && is_target(d, ev.xmap.window, name, pid)) {
                    t_map = t;
                    target = ev.xmap.window;
                    XGetWindowAttributes(d, target, &at);
                    if (verbose)
                        fprintf(stderr, "  %8.3f ms  mapped 0x%lx %dx%d+%d+%d\n", t - t0, target, at.width, at.height,
                                at.x, at.y);
                } else if (ev.type == damage_event + XDamageNotify && target) {
                    const XDamageNotifyEvent *de = (const XDamageNotifyEvent *)&ev;
                    const XRectangle *r = &de->area;
                    const int inside = r->x < at.x + at.width && r->x + r->width > at.x && r->y < at.y + at.height
                                       && r->y + r->height > at.y;
                    if (verbose)
                        fprintf(stderr, "  %8.3f ms  damage %dx%d+%d+%d%s\n", t - t0, r->width, r->height, r->x, r->y,
                                inside ? "" : " (elsewhere)");
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
                if (keep)
                    printf("failed %s ended before its window was painted (status %d)\n", program[0], status);
                return 1;
            }
            if (stop_requested) {
                kill(pid, SIGTERM);
                waitpid(pid, &status, 0);
                return 1;
            }
            if (!target && unmapped_deadline > 0 && now_ms() >= unmapped_deadline) {
                for (int k = 0; k < n_created && !unmapped; ++k)
                    unmapped = is_target(d, created[k], name, pid);
                if (unmapped)
                    break;
            }
            const double left = deadline - now_ms();
            if (left <= 0) {
                failed = 1;
                break;
            }
            struct pollfd p = {fd, POLLIN, 0};
            poll(&p, 1, left < 50 ? (int)left + 1 : 50); /* 50 ms: also notices the child ending */
        }
        for (int k = 0; k < n_created && t_created < 0; ++k)
            if (is_target(d, created[k], name, pid))
                t_created = created_at[k];
        if (keep) {
            if (failed)
                printf("failed no window %s%s%s %s within %d s\n", name ? "\"" : "of the program", name ? name : "",
                       name ? "\"" : "", target ? "was painted" : "was mapped", timeout_s);
            else
                printf("kept %ld %.3f %.3f %.3f\n", (long)pid, unmapped ? -1.0 : t_map - t0,
                       unmapped ? -1.0 : t_paint - t0, t_created < 0 ? -1.0 : t_created - t0);
            fflush(stdout);
            XCloseDisplay(d); /* no more events to wake us while the program runs */
            if (failed) {
                kill(pid, SIGTERM);
                waitpid(pid, NULL, 0);
                return 1;
            }
            return hold(pid);
        }
        kill(pid, SIGTERM);
        while (waitpid(pid, NULL, 0) < 0 && errno == EINTR) { }
        if (failed) {
            fprintf(stderr, "bench_mapwatch: no window %s%s%s %s within %d s\n", name ? "\"" : "of the program",
                    name ? name : "", name ? "\"" : "", target ? "was painted" : "was mapped", timeout_s);
            return 1;
        }
        if (unmapped)
            printf("run %d%s unmapped, first window created at %.3f\n", run + 1, run < warmup ? " (warm-up)" : "",
                   t_created - t0);
        else
            printf("run %d%s %.3f %.3f\n", run + 1, run < warmup ? " (warm-up)" : "", t_map - t0, t_paint - t0);
        fflush(stdout);
        if (run >= warmup) { /* -1 for a program that mapped no window (--unmapped-ok) */
            mapped[run - warmup] = unmapped ? -1 : t_map - t0;
            painted[run - warmup] = unmapped ? -1 : t_paint - t0;
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
