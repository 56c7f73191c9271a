// A long simulated day on the main window: tens of thousands of countdown ticks and
// hundreds of reminders, each shown by the real reminder window and answered, with slots
// ticked, unticked and restarted on short intervals, the sound switched on and off, the
// tips window opened and the intervals saved now and then. Nothing may pile up: after a
// warm-up that has created every window, the number of windows and of objects stays the
// same to the end, and the resident memory grows by less than kMaxGrowth.
//
// The countdown timers never fire on the clock here; the day calls their tick handlers
// itself, only for timers that are running, as the clock would.
#include "alerts/reminderwindow.h"
#include "alerts/tipswindow.h"
#include "app/mainform.h"
#include "program/residentmemory.h"
#include "runtime/clicklabel.h"
#include "runtime/commandbutton.h"
#include "runtime/textbox.h"
#include "runtime/timer.h"
#include "settings/savedintervals.h"
#include "testsupport.h"

#include <QAbstractAnimation>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <random>

#if defined(__SANITIZE_ADDRESS__)
#define QUORVANE_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVANE_SANITIZED 1
#endif
#endif

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

/// How much the resident memory may grow over the main part of the day.
constexpr qint64 kMaxGrowth = 2 * 1024 * 1024;
constexpr int kWarmUpTicks = 4000;
constexpr int kWarmUpAlerts = 40;
// Under Wine every reminder window shown and hidden costs round trips to the X server
// and the window manager: the Windows build plays a fifth of the day.
#ifdef QUORVANE_SHORT_DAY
constexpr int kDayShare = 5;
#else
constexpr int kDayShare = 1;
#endif
constexpr int kDayTicks = 100000 / kDayShare;
constexpr int kDayAlerts = 1500 / kDayShare;

const QString kOff = u"关"_s;
const QString kOn = u"开"_s;
const QRegularExpression kSettingsLine(u"^(0|[1-9][0-9]*)(,(0|[1-9][0-9]*)){8}\r\n$"_s);

/// The offscreen window system cannot raise windows and says so at every reminder.
QtMessageHandler previousHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message == u"This plugin does not support raise()"_s)
        return;
    previousHandler(type, context, message);
}

/// Every window of the program with the number of objects of each class under it, and
/// the objects directly under the application.
std::map<QString, qsizetype> census()
{
    std::map<QString, qsizetype> counts;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        const QString window = u"%1 %2"_s.arg(QString::fromLatin1(w->metaObject()->className()), w->objectName());
        ++counts[window];
        for (const QObject *o : w->findChildren<QObject *>())
            ++counts[u"%1/%2"_s.arg(window, QString::fromLatin1(o->metaObject()->className()))];
    }
    counts[u"(application)"_s] = qApp->findChildren<QObject *>().size();
    counts[u"(windows)"_s] = QApplication::topLevelWidgets().size();
    return counts;
}

QString describe(const std::map<QString, qsizetype> &counts)
{
    QStringList parts;
    for (const auto &[name, n] : counts)
        parts << u"%1=%2"_s.arg(name).arg(n);
    return parts.join(u", "_s);
}

/// What differs between two censuses, as "name: before -> after".
QString difference(const std::map<QString, qsizetype> &before, const std::map<QString, qsizetype> &after)
{
    QStringList parts;
    std::map<QString, std::pair<qsizetype, qsizetype>> both;
    for (const auto &[name, n] : before)
        both[name].first = n;
    for (const auto &[name, n] : after)
        both[name].second = n;
    for (const auto &[name, n] : both)
        if (n.first != n.second)
            parts << u"%1: %2 -> %3"_s.arg(name).arg(n.first).arg(n.second);
    return parts.join(u", "_s);
}

class Day
{
public:
    Day()
        : m_rng(20240611)
    {
        m_folder.write("0,0,20,0,0,30,0,0,40\r\n");
        m_form = std::make_unique<MainForm>(m_fake.hooks);
        m_text1 = m_form->findChild<QLineEdit *>(u"Text1"_s);
        m_beeper = timer(m_form.get(), "Timer4");
        // The clock must not tick behind the day's back.
        for (const char *name : {"Timer1", "Timer2", "Timer3", "Timer4"})
            timer(m_form.get(), name)->setInterval(std::numeric_limits<int>::max());
        m_form->show();
        m_form->activateWindow();
        if (!QTest::qWaitForWindowActive(m_form.get()))
            fail(u"the main window did not become active"_s);
        // Morning: the sound on, so that the reminders' first showings start the beeper.
        click(control("Command2"));
    }
    ~Day()
    {
        while (QWidget *w = QApplication::activeModalWidget())
            w->hide();
    }

    /// Plays rounds of the day until at least ticks and alerts more have happened.
    void play(int moreTicks, int moreAlerts);
    /// Lets the window system catch up: runs what is posted, deletions included, and
    /// waits a moment for the style's animations to end (the Windows style fades a
    /// control into its new look with an animation object the control owns until then).
    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        const bool settled = QTest::qWaitFor([] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            const QWidgetList windows = QApplication::topLevelWidgets();
            return std::none_of(windows.begin(), windows.end(), [](const QWidget *w) {
                return !w->findChildren<QAbstractAnimation *>().isEmpty();
            });
        }, 5000);
        if (!settled)
            qWarning("a control's animation was still running after 5 s; it is counted in this sample");
    }
    bool allWindowsMade() const
    {
        return window(m_form.get(), "Form2") && window(m_form.get(), "Form3") && window(m_form.get(), "Form4")
               && window(m_form.get(), "Form5");
    }

    QString failure;
    int ticks = 0, alerts = 0, nested = 0, tipsShown = 0, saves = 0, rounds = 0, beeps = 0, messages = 0;

private:
    void round();
    void tick(int slot);
    void answer(QWidget *w);
    void fail(const QString &what)
    {
        if (failure.isEmpty())
            failure = u"round %1, tick %2: %3"_s.arg(rounds).arg(ticks).arg(what);
    }
    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }
    QWidget *control(const char *name) const { return m_form->findChild<QWidget *>(QLatin1String(name)); }
    SlotControls slot(int k) { return slotControls(m_form.get(), k); }
    QList<int> counting()
    {
        QList<int> list;
        for (int k = 0; k < 3; ++k) {
            if (slot(k).timer->Enabled())
                list << k;
        }
        return list;
    }
    int random(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(m_rng)); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_rng) < p; }
    /// Takes the message boxes shown since the last look; none but the expected ones.
    void expectMessages(const QStringList &expected)
    {
        QStringList shown;
        for (const Shown &m : m_fake.messages)
            shown << m.text;
        messages += int(shown.size());
        m_fake.messages.clear(); // the record of the day must not grow either
        if (shown != expected)
            fail(u"messages [%1], expected [%2]"_s.arg(shown.join(u" | "_s), expected.join(u" | "_s)));
    }

    std::mt19937 m_rng;
    FakeHooks m_fake;
    SettingsFolder m_folder;
    std::unique_ptr<MainForm> m_form;
    QLineEdit *m_text1 = nullptr;
    runtime::Timer *m_beeper = nullptr;
    ModalWatch m_watch{[this](QWidget *w) {
        answer(w);
    }};
};

void Day::answer(QWidget *w)
{
    const bool tips = w == window(m_form.get(), "Form5");
    if (tips) {
        ++tipsShown;
    } else {
        ++alerts;
        if (m_watch.stack.size() > 1)
            ++nested;
        // While the reminder is open the beeper sounds and the other countdowns go on,
        // and one of them may end in a reminder over this one.
        if (m_beeper->Enabled()) {
            for (int i = random(4); i > 0; --i) {
                ++beeps;
                m_form->Timer4_Timer();
            }
        }
        if (m_watch.stack.size() < 3 && chance(0.3)) {
            const QList<int> running = counting();
            if (!running.isEmpty()) {
                const int k = running.at(random(int(running.size())));
                for (int i = random(30); i >= 0 && slot(k).timer->Enabled(); --i)
                    tick(k);
            }
        }
    }
    QPushButton *ok = button(w, "Command1");
    if (!ok) {
        fail(u"window %1 has no button"_s.arg(w->objectName()));
        w->hide();
    } else {
        click(ok);
    }
    if (w->isVisible()) {
        fail(u"window %1 stays open after its button"_s.arg(w->objectName()));
        w->hide();
    }
}

void Day::tick(int k)
{
    ++ticks;
    if (ticks % 512 == 0)
        QCoreApplication::processEvents(); // let the window paint what the ticks wrote
    const bool zero = slot(k).h->text() == u"0"_s && slot(k).m->text() == u"0"_s && slot(k).s->text() == u"0"_s;
    const QStringList opened = m_watch.guarded([&] { return tickSlot(*m_form, k); });
    const QString name = QString::fromLatin1(k == 0 ? "Form2" : k == 1 ? "Form3" : "Form4");
    if (opened != (zero ? QStringList{name} : QStringList{}))
        fail(u"a tick of slot %1 at %2 opened [%3]"_s.arg(k + 1).arg(zero ? u"zero"_s : u"non-zero"_s,
                                                                     opened.join(u", "_s)));
    if (zero && (slot(k).check->isChecked() || slot(k).timer->Enabled()))
        fail(u"slot %1 not cleared after its reminder"_s.arg(k + 1));
}

void Day::round()
{
    ++rounds;
    // Set up some slots: tick them and give them short intervals, now and then an hour.
    bool anyTicked = false;
    for (int k = 0; k < 3; ++k) {
        const SlotControls s = slot(k);
        if (s.timer->Enabled()) {
            anyTicked |= s.check->isChecked();
            continue;
        }
        if (!chance(0.7)) {
            if (s.check->isChecked() && chance(0.5))
                click(s.check); // changed one's mind: unticked, boxes cleared
            anyTicked |= s.check->isChecked();
            continue;
        }
        if (!s.check->isChecked())
            click(s.check);
        const int r = random(100);
        const QString h = r < 2 ? u"1"_s : u"0"_s;
        const QString m = r < 2 ? u"0"_s : r < 15 ? QString::number(1 + random(2)) : u"0"_s;
        const QString sec = QString::number(random(45));
        if (chance(0.1)) {
            // Typed, as a user does: into the seconds box, then away with Tab.
            click(s.s);
            QTest::keyClick(s.s, Qt::Key_End);
            QTest::keyClick(s.s, Qt::Key_Home, Qt::ShiftModifier);
            QTest::keyClicks(s.s, sec);
            QTest::keyClick(s.s, Qt::Key_Tab);
            s.h->setText(h);
            s.m->setText(m);
        } else {
            s.h->setText(h);
            s.m->setText(m);
            s.s->setText(sec);
        }
        anyTicked = true;
    }
    click(control("Label2"));
    expectMessages(anyTicked ? QStringList{} : QStringList{u"您尚未选择一栏进行计时！"_s});

    // Now and then: the sound switch, the recommended intervals, the tips window.
    const int extra = random(20);
    if (extra == 0)
        click(control("Command2"));
    else if (extra == 1)
        QTest::mouseDClick(control("Label8"), Qt::LeftButton);
    else if (extra == 2) {
        m_watch.guarded([&] { click(control("Command3")); });
    } else if (extra == 3) {
        click(control("Command4"));
        QStringList expected;
        const char *const names[3] = {"喝水一栏未打勾", "远眺一栏未打勾", "厕所一栏未打勾"};
        for (int k = 0; k < 3; ++k) {
            if (!slot(k).h->isEnabled())
                expected << QString::fromUtf8(names[k]);
        }
        expectMessages(expected);
    }

    // Count the running slots down; sometimes the user clears a running slot, which
    // then alerts at its next tick.
    for (QList<int> running = counting(); !running.isEmpty() && failure.isEmpty(); running = counting()) {
        const int k = running.at(random(int(running.size())));
        if (chance(0.002) && slot(k).check->isChecked())
            click(slot(k).check);
        tick(k);
    }
    expectMessages({});

    // Saving, with nothing counting: the nine boxes as one line.
    if (chance(0.2)) {
        click(control("Command1"));
        ++saves;
        expectMessages({});
        const QString line = QString::fromLatin1(m_folder.read());
        if (!kSettingsLine.match(line).hasMatch())
            fail(u"the settings file reads \"%1\""_s.arg(line));
    }
    if (m_beeper->Enabled())
        fail(u"the beeper runs with no reminder open"_s);
    if (m_fake.beeps != beeps)
        fail(u"%1 beeps for %2 beeper ticks"_s.arg(m_fake.beeps).arg(beeps));
    if (!m_form->isActiveWindow())
        m_form->activateWindow(); // what the window system does when a window closes
}

void Day::play(int moreTicks, int moreAlerts)
{
    const int ticksUntil = ticks + moreTicks;
    const int alertsUntil = alerts + moreAlerts;
    while (failure.isEmpty() && (ticks < ticksUntil || alerts < alertsUntil || !allWindowsMade()))
        round();
}

} // namespace

class TestLongDay : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { previousHandler = qInstallMessageHandler(quietHandler); }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }
    void nothingPilesUp();
};

void TestLongDay::nothingPilesUp()
{
    QElapsedTimer clock;
    clock.start();
    Day day;

    // Warm-up: every window made and shown, caches filled.
    day.play(kWarmUpTicks, kWarmUpAlerts);
    QVERIFY2(day.failure.isEmpty(), qPrintable(day.failure));
    Day::settle();
    const auto before = census();
    const qint64 rssBefore = residentBytes();
    const int ticksBefore = day.ticks, alertsBefore = day.alerts;

    day.play(kDayTicks, kDayAlerts);
    QVERIFY2(day.failure.isEmpty(), qPrintable(day.failure));
    Day::settle();
    const auto after = census();
    const qint64 rssAfter = residentBytes();

    qInfo().noquote() << u"warm-up: %1 ticks, %2 reminders; day: %3 ticks, %4 reminders (%5 over another), "
                         u"%6 tips, %7 saves, %8 messages, %9 beeps, %10 rounds, %11 ms"_s.arg(ticksBefore)
                             .arg(alertsBefore)
                             .arg(day.ticks - ticksBefore)
                             .arg(day.alerts - alertsBefore)
                             .arg(day.nested)
                             .arg(day.tipsShown)
                             .arg(day.saves)
                             .arg(day.messages)
                             .arg(day.beeps)
                             .arg(day.rounds)
                             .arg(clock.elapsed());
    qInfo().noquote() << u"resident memory: %1 KiB after warm-up, %2 KiB at the end, growth %3 KiB"_s
                             .arg(rssBefore / 1024)
                             .arg(rssAfter / 1024)
                             .arg((rssAfter - rssBefore) / 1024);
    qInfo().noquote() << u"objects: "_s + describe(after);

    QVERIFY(day.ticks - ticksBefore >= kDayTicks);
    QVERIFY(day.alerts - alertsBefore >= kDayAlerts);
    QVERIFY2(before == after, qPrintable(difference(before, after)));
#ifdef QUORVANE_SANITIZED
    qInfo("built with AddressSanitizer: the resident memory is not held to a bound");
#else
    QVERIFY(rssBefore > 0 && rssAfter > 0);
    QVERIFY2(rssAfter - rssBefore < kMaxGrowth,
             qPrintable(u"resident memory grew by %1 KiB"_s.arg((rssAfter - rssBefore) / 1024)));
#endif
}

QTEST_MAIN(TestLongDay)
#include "tst_longday.moc"
