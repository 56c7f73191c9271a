// How well the countdown keeps time: the real main window (quorvane_app) with a scratch
// settings file, one slot set to N seconds and started through the start action. Every
// tick of the slot's timer and the moment its reminder window opens are stamped with the
// monotonic clock; the reminder is then acknowledged with its "我已知晓" button.
//
//   bench_timekeeping --seconds N [--slot 1|2|3] [--label TEXT] [--raw FILE]
//
// Prints one markdown table row (see --header):
//   start -> reminder error  delay from the start action to the reminder opening, minus (N+1) s
//   tick -> reminder         from the last tick to the reminder being shown (includes building
//                            the reminder window the first time)
//   max |tick error|         max over k of |tick_k - (t0 + k s)|
//   mean tick error          mean over k of tick_k - (t0 + k s)
//   drift over 2 h           least-squares slope of the tick error against k, times 7200 ticks,
//                            with twice its standard error; a short run cannot tell a drift
//                            below that bound from tick-to-tick jitter ("too short")
//   tick handler             median time spent in the slot's tick handler (not the opening one)
#include "app/mainform.h"
#include "app/startup.h"
#include "runtime/textbox.h"
#include "runtime/timer.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTimerEvent>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock; // CLOCK_MONOTONIC

double msBetween(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

/// Stamps every expiry of one timer before the timer's own handlers run.
class TickStamper : public QObject
{
public:
    explicit TickStamper(QTimer *timer)
        : m_timer(timer)
    {
        timer->installEventFilter(this);
    }
    std::vector<Clock::time_point> ticks;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_timer && event->type() == QEvent::Timer
            && static_cast<QTimerEvent *>(event)->timerId() == m_timer->timerId())
            ticks.push_back(Clock::now());
        return false;
    }

private:
    QTimer *m_timer;
};

/// Stamps the first showing of the window named `name` and presses its "我已知晓" shortly after.
class ReminderWatch : public QObject
{
public:
    ReminderWatch(QString name, int acknowledgeAfterMs)
        : m_name(std::move(name))
        , m_after(acknowledgeAfterMs)
    {
        qApp->installEventFilter(this);
    }
    Clock::time_point shown{};
    bool seen = false;
    QString otherWindow; // a different window that opened meanwhile (a message box, say)

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(watched);
        if (!w->isWindow())
            return false;
        if (w->objectName() != m_name) {
            if (w->objectName() != QLatin1String("Form1"))
                otherWindow =
                    w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
            return false;
        }
        if (!seen) {
            shown = Clock::now();
            seen = true;
        }
        QTimer::singleShot(m_after, w, [w] {
            if (auto *ok = w->findChild<QPushButton *>(QStringLiteral("Command1")))
                ok->click();
        });
        return false;
    }

private:
    QString m_name;
    int m_after;
};

struct Options {
    int seconds = 10;
    int slot = 1;
    std::string label;
    std::string raw;
    bool header = false;
};

[[noreturn]] void usage()
{
    std::fputs("usage: bench_timekeeping --seconds N [--slot 1|2|3] [--label TEXT] [--raw FILE]\n"
               "       bench_timekeeping --header | --qt-version\n",
               stderr);
    std::exit(2);
}

Options parse(int argc, char **argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                usage();
            return argv[++i];
        };
        if (a == "--seconds")
            o.seconds = std::atoi(value().c_str());
        else if (a == "--slot")
            o.slot = std::atoi(value().c_str());
        else if (a == "--label")
            o.label = value();
        else if (a == "--raw")
            o.raw = value();
        else if (a == "--header")
            o.header = true;
        else if (a == "--qt-version") {
            std::puts(qVersion()); // the toolkit the program runs with
            std::exit(0);
        } else if (a == "-platform") // Qt's own options pass through
            ++i;
        else
            usage();
    }
    if (!o.header && (o.seconds < 1 || o.seconds > 24 * 3600 - 1 || o.slot < 1 || o.slot > 3))
        usage();
    return o;
}

} // namespace

int main(int argc, char **argv)
{
    const Options opt = parse(argc, argv);
    if (opt.header) {
        std::puts(
            "| countdown | ticks | start → reminder error (ms) | tick → reminder (ms) | max \\|tick error\\| (ms) "
            "| mean tick error (ms) | drift over 2 h (ms) | tick handler (µs) | reminder within 20 ms "
            "| 2 h drift within 20 ms |");
        std::puts("|---|---:|---:|---:|---:|---:|---:|---:|---|---|");
        return 0;
    }

    // A scratch settings file (all nine intervals 0), so no message box opens and the
    // user's own file is neither read nor written.
    QTemporaryDir config;
    if (!config.isValid()) {
        std::fputs("bench_timekeeping: no scratch folder\n", stderr);
        return 1;
    }
    {
        QFile f(config.filePath(QStringLiteral("Quorvane.txt")));
        if (!f.open(QIODevice::WriteOnly) || f.write("0,0,0,0,0,0,0,0,0\r\n") < 0) {
            std::fputs("bench_timekeeping: cannot write the scratch settings file\n", stderr);
            return 1;
        }
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    std::unique_ptr<QApplication> app = app::createApplication(argc, argv);
    // The offscreen platform cannot raise windows and says so each time a reminder opens.
    static const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (!text.contains(QLatin1String("does not support raise()")))
                previous(type, context, text);
        });
    const runtime::Hooks hooks = app::desktopHooks();
    app::MainForm form(hooks);
    form.show();

    const QString n = QString::number(opt.slot);
    const QString suffix = opt.slot == 1 ? QString() : n;
    auto *check = form.findChild<QCheckBox *>(QStringLiteral("Check") + n);
    auto *timer = form.findChild<runtime::Timer *>(QStringLiteral("Timer") + n);
    auto *h = form.findChild<runtime::TextBox *>(QStringLiteral("h") + suffix);
    auto *m = form.findChild<runtime::TextBox *>(QStringLiteral("m") + suffix);
    auto *s = form.findChild<runtime::TextBox *>(QStringLiteral("s") + suffix);
    if (!check || !timer || !h || !m || !s) {
        std::fputs("bench_timekeeping: the main window lacks the slot's controls\n", stderr);
        return 1;
    }

    TickStamper stamper(timer);
    ReminderWatch watch(QStringLiteral("Form%1").arg(opt.slot + 1), 20);

    // Time spent in the tick handler: stamped before (the event filter) and after (a
    // handler connected after the program's own one runs after it).
    std::vector<double> handlerUs;
    QObject::connect(timer, &QTimer::timeout, &form, [&] {
        if (!stamper.ticks.empty() && !watch.seen)
            handlerUs.push_back(1000.0 * msBetween(stamper.ticks.back(), Clock::now()));
    });

    Clock::time_point t0{};
    QObject::connect(check, &QCheckBox::toggled, &form, [&](bool on) {
        if (!on && watch.seen) // the alert is over: the tick handler unticks the slot last
            QTimer::singleShot(100, qApp, &QCoreApplication::quit);
    });
    const int limitMs = (opt.seconds + 30) * 1000;
    QTimer::singleShot(limitMs, qApp, [] {
        std::fputs("bench_timekeeping: the reminder did not come in time\n", stderr);
        QCoreApplication::exit(3);
    });

    // Start once the window is up and the event loop idle, as a click would.
    QTimer::singleShot(500, &form, [&] {
        check->setChecked(true);
        h->setText(QString::number(opt.seconds / 3600));
        m->setText(QString::number(opt.seconds / 60 % 60));
        s->setText(QString::number(opt.seconds % 60));
        t0 = Clock::now();
        form.Label2_Click();
    });

    const int rc = app->exec();
    if (rc != 0)
        return rc;
    if (!watch.otherWindow.isEmpty()) {
        std::fprintf(stderr, "bench_timekeeping: an unexpected window opened: %s\n", qPrintable(watch.otherWindow));
        return 1;
    }

    // Tick k is due at t0 + k s; the (N+1)th opens the reminder.
    const std::vector<Clock::time_point> &ticks = stamper.ticks;
    const size_t K = ticks.size();
    std::vector<double> err(K);
    double maxAbs = 0, sum = 0;
    for (size_t k = 0; k < K; ++k) {
        err[k] = msBetween(t0, ticks[k]) - 1000.0 * double(k + 1);
        maxAbs = std::max(maxAbs, std::abs(err[k]));
        sum += err[k];
    }
    const double mean = K ? sum / double(K) : 0;
    // Least-squares slope of err against k, and its standard error.
    double slope = 0, slopeSe = NAN;
    if (K >= 3) {
        double kx = 0, kk = 0;
        const double kMean = (double(K) + 1) / 2;
        for (size_t k = 0; k < K; ++k) {
            const double dk = double(k + 1) - kMean;
            kx += dk * (err[k] - mean);
            kk += dk * dk;
        }
        slope = kx / kk;
        double rss = 0;
        for (size_t k = 0; k < K; ++k) {
            const double r = err[k] - (mean + slope * (double(k + 1) - kMean));
            rss += r * r;
        }
        slopeSe = std::sqrt(rss / double(K - 2) / kk);
    }
    const double drift2h = slope * 7200;
    const double drift2hBound = 2 * slopeSe * 7200; // about 95 %
    const double reminderErr = msBetween(t0, watch.shown) - 1000.0 * double(opt.seconds + 1);
    const double tickToShow = K ? msBetween(ticks.back(), watch.shown) : NAN;
    std::sort(handlerUs.begin(), handlerUs.end());
    const double handlerMedian = handlerUs.empty() ? NAN : handlerUs[handlerUs.size() / 2];

    if (!opt.raw.empty()) {
        if (FILE *f = std::fopen(opt.raw.c_str(), "w")) {
            std::fprintf(f, "# k\ttick error (ms)\n");
            for (size_t k = 0; k < K; ++k)
                std::fprintf(f, "%zu\t%.3f\n", k + 1, err[k]);
            std::fprintf(f, "# reminder shown at %.3f ms after t0 + (N+1) s\n", reminderErr);
            std::fclose(f);
        }
    }

    const bool ticksRight = K == size_t(opt.seconds) + 1;
    const bool reminderOk = std::abs(reminderErr) < 20 && ticksRight;
    const char *driftVerdict = std::isnan(drift2hBound)                ? "too short"
                               : std::abs(drift2h) + drift2hBound < 20 ? "yes"
                               : std::abs(drift2h) - drift2hBound > 20 ? "**no**"
                                                                       : "too short to tell";
    const std::string label = opt.label.empty() ? std::to_string(opt.seconds) + " s" : opt.label;
    const std::string tickNote = ticksRight ? "" : " (expected " + std::to_string(opt.seconds + 1) + ")";
    std::printf("| %s | %zu%s | %+.2f | %.2f | %.2f | %+.3f | %+.1f ± %.1f | %.0f | %s | %s |\n", label.c_str(), K,
                tickNote.c_str(), reminderErr, tickToShow, maxAbs, mean, drift2h, drift2hBound, handlerMedian,
                reminderOk ? "yes" : "**no**", driftVerdict);
    return 0;
}
