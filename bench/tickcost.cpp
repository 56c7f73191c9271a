// What a second of counting costs the program: the real main window with its additions
// (tray tooltip, pause, repeat), its three slots started with the start action, and then
// each second's three ticks delivered by hand, each second followed by the repaint and
// the drawing sent to the display that it causes.
//
//   bench_tickcost [--seconds N] [--warmup N]
//
// Prints the median wall time of a second's work. Under callgrind it also counts the
// instructions of exactly the measured seconds (collection is switched on around them),
// which, unlike times, repeat from run to run on a shared machine:
//
//   valgrind --tool=callgrind --collect-atstart=no bench_tickcost --seconds 60
//
// The slots count down from an hour, so no reminder opens. The timers are held off (their
// interval is made a day long) so that only the ticks delivered here happen; a tick is the
// timer's own timer event, so everything that watches the timers sees it as usual.
#include "app/companionwiring.h"
#include "app/mainform.h"
#include "app/startup.h"
#include "runtime/timer.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimerEvent>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_TOGGLE_COLLECT
#define RUNNING_ON_VALGRIND 0
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

int main(int argc, char **argv)
{
    int seconds = 60;
    int warmup = 5;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc)
            seconds = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--warmup") && i + 1 < argc)
            warmup = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "-platform") && i + 1 < argc)
            ++i; // Qt's own option
        else {
            std::fputs("usage: bench_tickcost [--seconds N] [--warmup N]\n", stderr);
            return 2;
        }
    }
    if (seconds < 1 || warmup < 0 || seconds + warmup > 3000) {
        std::fputs("bench_tickcost: 1 to 3000 seconds in all\n", stderr);
        return 2;
    }

    // A scratch settings file with an hour in every slot and a scratch runtime folder; no
    // session bus, so that a running Quorvane is not asked to come forward instead.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 1;
    {
        QFile f(scratch.filePath(QStringLiteral("Quorvane.txt")));
        if (!f.open(QIODevice::WriteOnly) || f.write("1,0,0,1,0,0,1,0,0\r\n") < 0)
            return 1;
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.path()));
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(scratch.filePath(QStringLiteral("no-bus"))));

    std::unique_ptr<QApplication> application = app::createApplication(argc, argv);
    const runtime::Hooks hooks = app::desktopHooks();
    app::MainForm form(hooks);
    app::CompanionWiring companion(form, app::CompanionWiring::setupFor(form, hooks));
    form.show();
    settle(500);

    std::vector<runtime::Timer *> timers;
    for (int k = 0; k < 3; ++k) {
        form.slot(alerts::Slot(k)).check()->setChecked(true);
        timers.push_back(form.slot(alerts::Slot(k)).timer());
    }
    form.Label2_Click();
    for (runtime::Timer *timer : timers) {
        if (!timer->Enabled()) {
            std::fputs("bench_tickcost: a slot did not start\n", stderr);
            return 1;
        }
        timer->start(24 * 3600 * 1000); // still counting, but only the ticks sent here come
    }
    settle(200);

    auto second = [&] {
        for (runtime::Timer *timer : timers) {
            QTimerEvent tick(timer->timerId());
            QCoreApplication::sendEvent(timer, &tick);
        }
        // The repaint the ticks asked for, and its drawing sent to the display.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    };
    for (int i = 0; i < warmup; ++i)
        second();

    std::vector<qint64> ns;
    QElapsedTimer clock;
    CALLGRIND_TOGGLE_COLLECT;
    for (int i = 0; i < seconds; ++i) {
        clock.start();
        second();
        ns.push_back(clock.nsecsElapsed());
    }
    CALLGRIND_TOGGLE_COLLECT;

    std::sort(ns.begin(), ns.end());
    std::printf("seconds %d, median wall time of a second's work %.1f us%s\n", seconds, double(ns[ns.size() / 2]) / 1e3,
                RUNNING_ON_VALGRIND ? " (under valgrind)" : "");
    return 0;
}
