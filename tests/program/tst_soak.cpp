// A seeded monkey on the real main window: thousands of random mouse clicks, double
// clicks, keystrokes, pastes and countdown ticks, answering every window that opens (and
// acting under it before answering), with what must always hold checked after every
// step: a refused key leaves a box as it was, a box left holds a whole number in its
// field's range, a box's text changes only through what may change it, a countdown
// loses one second a tick, and more. The monkey does not work out what the key filter or
// the focus rule makes of a text; the tables in app/tst_timeboxes.cpp do.
//
// A failure names the seed and the step, e.g. "seed 3, action 1234: ...", followed by the
// steps that led there. To replay one seed, or to run longer:
//
//   QUORVANE_SOAK_SEED=3 QUORVANE_SOAK_ACTIONS=20000 ./tst_soak
//
// and QUORVANE_SOAK_TRACE=1 prints every step. The run is the same for the same seed:
// the countdown timers are never left to fire on the clock; the monkey calls their tick
// handlers itself, and only those of timers that are running, as the clock would.
#include "alerts/reminderwindow.h"
#include "alerts/tipswindow.h"
#include "app/mainform.h"
#include "expectedwindow.h"
#include "runtime/clicklabel.h"
#include "runtime/commandbutton.h"
#include "runtime/conversions.h"
#include "runtime/textbox.h"
#include "runtime/timer.h"
#include "settings/savedintervals.h"
#include "testsupport.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QKeySequence>
#include <QRegularExpression>
#include <QWindow>

#include <array>
#include <cmath>
#include <deque>
#include <limits>
#include <memory>
#include <random>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

constexpr int kDefaultActions = 3000;
const quint32 kSeeds[] = {1, 2, 3, 4, 5};
/// A seed that runs longer than this stops early (and says so) rather than overrun the
/// test's time limit on a slow machine.
constexpr qint64 kSeedBudgetMs = 12000;

const QString kNothingTicked = u"您尚未选择一栏进行计时！"_s;
const QString kCounting = u"正在计时中，无法进行保存"_s;
const QString kNotTicked[3] = {u"喝水一栏未打勾"_s, u"远眺一栏未打勾"_s, u"厕所一栏未打勾"_s};
const QString kAdvice[3][3] = {{u"0"_s, u"30"_s, u"0"_s}, {u"1"_s, u"0"_s, u"0"_s}, {u"2"_s, u"0"_s, u"0"_s}};
const char *const kReminderNames[3] = {"Form2", "Form3", "Form4"};
const QString kOff = u"关"_s;
const QString kOn = u"开"_s;

const QRegularExpression kPlainWhole(u"^(0|[1-9][0-9]*)$"_s);
const QRegularExpression kDigits(u"^[0-9]+$"_s);
const QRegularExpression kSettingsLine(u"^(0|[1-9][0-9]*)(,(0|[1-9][0-9]*)){8}\r\n$"_s);

/// A text of digits short enough to be counted exactly.
bool countable(const QString &t)
{
    return t.size() <= 12 && kDigits.match(t).hasMatch();
}
qint64 digitsValue(const QString &t)
{
    qint64 v = 0;
    for (QChar c : t)
        v = v * 10 + (c.unicode() - '0');
    return v;
}

/// Whether after holds no character other than an ASCII digit that before did not hold
/// as often: what typing may change in a time box.
bool addsNoOtherCharacter(const QString &before, const QString &after)
{
    QString rest = before;
    for (QChar c : after) {
        if (c >= u'0' && c <= u'9')
            continue;
        const qsizetype at = rest.indexOf(c);
        if (at < 0)
            return false;
        rest.remove(at, 1);
    }
    return true;
}

/// Whether a box left for another control holds what leaving may leave in it: a whole
/// number without leading zeros, from 0 to the field's limit (23 in the hours boxes h,
/// h2 and h3, 59 in the others).
bool wholeInRange(const QString &text, const QString &box)
{
    const int limit = box.startsWith(u'h') ? 23 : 59;
    return kPlainWhole.match(text).hasMatch() && text.size() <= 2 && text.toInt() <= limit;
}

struct SlotState {
    bool checked = false, enabled = false, counting = false, alerting = false;
    QStringList texts;
    bool operator==(const SlotState &) const = default;
};

struct State {
    std::array<SlotState, 3> rows;
    bool beeper = false;
    QString sound;
    bool operator==(const State &) const = default;
};

QString describe(const State &s)
{
    QStringList parts;
    for (int k = 0; k < 3; ++k) {
        const SlotState &t = s.rows[size_t(k)];
        parts << u"%1:%2%3%4%5 %6"_s.arg(k + 1).arg(t.checked ? u"v"_s : u"-"_s, t.enabled ? u"e"_s : u"-"_s,
                                                    t.counting ? u"T"_s : u"-"_s, t.alerting ? u"A"_s : u"-"_s,
                                                    t.texts.join(u'/'));
    }
    return parts.join(u"  "_s) + u"  beeper %1 sound %2"_s.arg(s.beeper ? u"on"_s : u"off"_s, s.sound);
}

/// Watches a widget's mouse releases: the moment just before a label reports its click.
class ReleaseSpy : public QObject
{
public:
    std::function<void()> onRelease;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease && onRelease)
            onRelease();
        return false;
    }
};

class Monkey
{
public:
    Monkey(quint32 seed, int actions, bool trace)
        : m_rng(seed)
        , m_seed(seed)
        , m_actions(actions)
        , m_trace(trace)
    { }
    ~Monkey()
    {
        // Never leave a window open behind us.
        while (QWidget *w = QApplication::activeModalWidget())
            w->hide();
    }

    /// Plays the seed; returns the first fault found, or an empty text.
    QString run();

    int steps = 0, ticks = 0, alerts = 0, nestedAlerts = 0, tipsShown = 0, saves = 0, messages = 0, beeps = 0,
        blockedClicks = 0, reactivations = 0, restoredByReminder = 0;
    bool stoppedEarly = false;

private:
    enum class Kind {
        ClickCheck,
        DClickCheck,
        ClickBox,
        DClickBox,
        ClickLabel2,
        DClickLabel2,
        ClickButton,
        DClickButton,
        ClickLabel8,
        DClickLabel8,
        ClickText1,
        Key,
        Paste,
        Tick,
        Minimize,
        Restore
    };
    struct Action {
        Kind kind = Kind::Tick;
        int arg = 0; // the slot, box or button
        int x = -1;  // where in a box to click; how many ticks
        int key = 0;
        Qt::KeyboardModifiers mods = {};
        QString text = {}; // what a key types or a paste inserts
        // Keys: one that types a character a time box must refuse (anything but a digit
        // or Backspace: letters, blanks, Enter, Escape, Ctrl+letter), or one that pastes.
        bool refused = false;
        bool pastes = false;
    };

    // Setting up and the steps.
    void setUp();
    void step();
    Action pick();
    Action intoTimeBox(const Action &key);
    void queueShortTime();
    void perform(const Action &a);
    QString describe(const Action &a) const;
    void tick(int slot);
    void tickBeeper();
    void blockedClick();
    void answer(QWidget *window);

    // What the monkey looks at.
    State state() const;
    QStringList texts(int slot) const;
    QList<QWidget *> controls() const;
    runtime::TextBox *focusedTimeBox() const;
    int slotOfBox(const QWidget *box) const;
    bool reminderVisible(int slot) const;
    QWidget *reminderIfLoaded(int slot) const;
    QByteArray fileContent() const { return m_folder.read(); }
    QList<Shown> newMessages() const { return m_fake.messages.mid(m_accounted); }

    // The rules.
    void checkInvariants(const QString &when);
    void connectOracles();
    void fail(const QString &what);
    bool failed() const { return !m_failure.isEmpty(); }

    std::mt19937 m_rng;
    int random(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(m_rng)); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_rng) < p; }

    quint32 m_seed;
    int m_actions;
    bool m_trace;
    int m_index = 0;
    QString m_failure;
    std::deque<QString> m_recent;
    std::deque<Action> m_queue;

    FakeHooks m_fake;
    SettingsFolder m_folder;
    std::unique_ptr<MainForm> m_form;
    QLineEdit *m_text1 = nullptr;
    runtime::Timer *m_beeper = nullptr;
    runtime::ClickLabel *m_label2 = nullptr, *m_label8 = nullptr;
    std::array<runtime::CommandButton *, 4> m_buttons{};
    ReleaseSpy m_label2Spy;

    ModalWatch m_watch{[this](QWidget *w) {
        answer(w);
    }};
    bool m_minimized = false;  // the user has minimized the main window
    QSize m_size;              // the main window's size, which nothing changes
    QByteArray m_file;         // the settings file as last written
    qsizetype m_accounted = 0; // messages explained by the handler that asked for them
    std::array<bool, 3> m_countingBefore{};
    bool m_startedSinceCheck = false;
    State m_label2Before;
    int m_toggles[3] = {};
    int m_ticksOf[3] = {};
    int m_command4 = 0, m_command3 = 0, m_startActions = 0;
    struct AlertContext {
        int slot;
        bool firstLoad, beeperBefore;
        QString sound;
    };
    std::vector<AlertContext> m_alerting;
    std::array<ExpectedWindow, 3> m_reminders; // their messages, as written down for them
};

void Monkey::fail(const QString &what)
{
    if (failed())
        return;
    QString trail;
    for (const QString &r : m_recent)
        trail += u"\n    "_s + r;
    m_failure = u"seed %1, action %2: %3\n  state: %4\n  last steps:%5\n  replay: QUORVANE_SOAK_SEED=%1 "
                u"QUORVANE_SOAK_ACTIONS=%2 QUORVANE_SOAK_TRACE=1"_s.arg(m_seed)
                    .arg(m_index)
                    .arg(what, ::describe(state()), trail);
}

QStringList Monkey::texts(int slot) const
{
    const SlotControls s = slotControls(m_form.get(), slot);
    return {s.h->text(), s.m->text(), s.s->text()};
}

QWidget *Monkey::reminderIfLoaded(int slot) const
{
    static const char *const names[3] = {"Form2", "Form3", "Form4"};
    return window(m_form.get(), names[slot]);
}

bool Monkey::reminderVisible(int slot) const
{
    QWidget *w = reminderIfLoaded(slot);
    return w && w->isVisible();
}

State Monkey::state() const
{
    State st;
    for (int k = 0; k < 3; ++k) {
        const SlotControls s = slotControls(m_form.get(), k);
        SlotState &t = st.rows[size_t(k)];
        t.checked = s.check->isChecked();
        t.enabled = s.h->isEnabled();
        t.counting = s.timer->Enabled();
        t.alerting = reminderVisible(k);
        t.texts = texts(k);
    }
    st.beeper = m_beeper->Enabled();
    st.sound = m_text1->text();
    return st;
}

QList<QWidget *> Monkey::controls() const
{
    QList<QWidget *> list;
    for (const SlotControls &s : allSlots(m_form.get()))
        list << s.check << s.h << s.m << s.s;
    list << m_label2 << m_label8 << m_text1;
    for (auto *b : m_buttons)
        list << b;
    return list;
}

runtime::TextBox *Monkey::focusedTimeBox() const
{
    for (runtime::TextBox *b : m_form->timeBoxes()) {
        if (b == QApplication::focusWidget())
            return b;
    }
    return nullptr;
}

int Monkey::slotOfBox(const QWidget *box) const
{
    const auto boxes = m_form->timeBoxes();
    for (int i = 0; i < 9; ++i) {
        if (boxes[size_t(i)] == box)
            return i / 3;
    }
    return -1;
}

void Monkey::setUp()
{
    for (int k = 0; k < 3; ++k) {
        m_reminders[size_t(k)] = expectedWindow(QString::fromLatin1(kReminderNames[k]));
        if (!m_reminders[size_t(k)].error.isEmpty())
            return fail(m_reminders[size_t(k)].error);
    }
    // A whole-valued settings file of short intervals, drawn from the seed.
    QStringList fields;
    for (int i = 0; i < 9; ++i)
        fields << QString::number(i % 3 == 2 ? random(60) : random(3));
    m_file = fields.join(u',').toLatin1() + "\r\n";
    m_folder.write(m_file);

    m_form = std::make_unique<MainForm>(m_fake.hooks);
    m_text1 = m_form->findChild<QLineEdit *>(u"Text1"_s);
    m_beeper = timer(m_form.get(), "Timer4");
    m_label2 = m_form->findChild<runtime::ClickLabel *>(u"Label2"_s);
    m_label8 = m_form->findChild<runtime::ClickLabel *>(u"Label8"_s);
    for (int n = 0; n < 4; ++n)
        m_buttons[size_t(n)] = m_form->findChild<runtime::CommandButton *>(u"Command%1"_s.arg(n + 1));
    // The clock must not tick behind the monkey's back: the timers keep their on/off state
    // but would fire only after weeks.
    for (const char *name : {"Timer1", "Timer2", "Timer3", "Timer4"})
        timer(m_form.get(), name)->setInterval(std::numeric_limits<int>::max());

    if (!m_fake.messages.isEmpty())
        return fail(u"start-up showed \"%1\""_s.arg(m_fake.messages.first().text));
    const auto boxes = m_form->timeBoxes();
    for (int i = 0; i < 9; ++i) {
        if (boxes[size_t(i)]->text() != fields.at(i))
            return fail(u"box %1 shows \"%2\" after loading %3"_s.arg(boxes[size_t(i)]->objectName(),
                                                                      boxes[size_t(i)]->text(), fields.join(u',')));
    }
    connectOracles();

    m_form->show();
    m_size = m_form->size();
    m_form->activateWindow();
    if (!QTest::qWaitForWindowActive(m_form.get()))
        return fail(u"the main window did not become active"_s);
    QGuiApplication::clipboard()->setText(u"42"_s);
    checkInvariants(u"after start-up"_s);
}

/// Checks every handler's result right after it ran, where its cause is still plain.
void Monkey::connectOracles()
{
    for (int k = 0; k < 3; ++k) {
        SlotControls s = slotControls(m_form.get(), k);
        QObject::connect(s.check, &QCheckBox::toggled, m_form.get(), [this, k](bool on) {
            ++m_toggles[k];
            const SlotState t = state().rows[size_t(k)];
            if (on && !t.enabled)
                fail(u"Check%1 ticked but its boxes stay closed"_s.arg(k + 1));
            if (!on && (t.enabled || t.texts != QStringList{u"0"_s, u"0"_s, u"0"_s}))
                fail(u"Check%1 unticked but its boxes are %2 \"%3\""_s.arg(k + 1).arg(
                    t.enabled ? u"open"_s : u"closed"_s, t.texts.join(u'/')));
        });
    }

    // The start action: reaches only the slots whose boxes are open; a whole countdown of
    // zero stops (or keeps stopped), any other is switched.
    m_label2->installEventFilter(&m_label2Spy);
    m_label2Spy.onRelease = [this] {
        m_label2Before = state();
    };
    QObject::connect(m_label2, &runtime::ClickLabel::Click, m_form.get(), [this] {
        const State &before = m_label2Before;
        const State after = state();
        m_startedSinceCheck = true;
        ++m_startActions;
        bool anyTicked = false;
        for (const SlotState &t : before.rows)
            anyTicked |= t.checked;
        QStringList expected;
        if (!anyTicked)
            expected << kNothingTicked;
        QStringList shown;
        for (const Shown &m : newMessages())
            shown << m.text;
        m_accounted = m_fake.messages.size();
        if (shown != expected)
            fail(u"the start action showed [%1], expected [%2]"_s.arg(shown.join(u" | "_s), expected.join(u" | "_s)));
        for (int k = 0; k < 3; ++k) {
            const SlotState &b = before.rows[size_t(k)], &a = after.rows[size_t(k)];
            if (a.checked != b.checked || a.enabled != b.enabled)
                fail(u"the start action changed slot %1's tick or boxes"_s.arg(k + 1));
            if (!b.enabled) {
                if (a.counting != b.counting || a.texts != b.texts)
                    fail(u"the start action reached slot %1, whose boxes are closed"_s.arg(k + 1));
                continue;
            }
            if (!countable(b.texts[0]) || !countable(b.texts[1]) || !countable(b.texts[2]))
                continue;
            const bool zero = digitsValue(b.texts[0]) + digitsValue(b.texts[1]) + digitsValue(b.texts[2]) == 0;
            const bool expectCounting = zero ? false : !b.counting;
            if (a.counting != expectCounting)
                fail(u"the start action left slot %1 (%2) %3"_s.arg(k + 1).arg(
                    b.texts.join(u'/'), a.counting ? u"counting"_s : u"stopped"_s));
            if (a.texts != b.texts)
                fail(u"the start action rewrote slot %1 from %2 to %3"_s.arg(k + 1).arg(b.texts.join(u'/'),
                                                                                        a.texts.join(u'/')));
        }
    });

    // Save: refused while anything counts, else the nine boxes as one line.
    QObject::connect(m_buttons[0], &QPushButton::clicked, m_form.get(), [this] {
        bool counting = false;
        for (const SlotControls &s : allSlots(m_form.get()))
            counting |= s.timer->Enabled();
        const QList<Shown> shown = newMessages();
        m_accounted = m_fake.messages.size();
        const QByteArray file = fileContent();
        if (counting) {
            if (shown.size() != 1 || shown[0].text != kCounting || shown[0].title != u"出错"_s
                || shown[0].icon != QMessageBox::Warning)
                fail(u"saving while counting did not show exactly the warning"_s);
            if (file != m_file)
                fail(u"saving while counting changed the settings file to \"%1\""_s.arg(QString::fromLatin1(file)));
            return;
        }
        ++saves;
        if (!shown.isEmpty())
            fail(u"saving showed \"%1\""_s.arg(shown[0].text));
        if (!kSettingsLine.match(QString::fromLatin1(file)).hasMatch())
            fail(u"the saved settings file reads \"%1\""_s.arg(QString::fromLatin1(file.toPercentEncoding(",."))));
        const QStringList fields = QString::fromLatin1(file).trimmed().split(u',');
        const auto boxes = m_form->timeBoxes();
        for (int i = 0; i < 9 && fields.size() == 9; ++i) {
            const QString t = boxes[size_t(i)]->text();
            if (!countable(t))
                fail(u"box %1 holds \"%2\" when it is saved"_s.arg(boxes[size_t(i)]->objectName(), t));
            else if (QString::number(digitsValue(t)) != fields.at(i))
                fail(u"box %1 shows \"%2\" but was saved as %3"_s.arg(boxes[size_t(i)]->objectName(), t, fields.at(i)));
        }
        m_file = file;
    });

    QObject::connect(m_buttons[1], &QPushButton::clicked, m_form.get(), [this] {
        if (m_text1->text() != kOn)
            fail(u"the sound button left the switch at \"%1\""_s.arg(m_text1->text()));
    });
    QObject::connect(m_label8, &runtime::ClickLabel::DblClick, m_form.get(), [this] {
        if (m_text1->text() != kOff)
            fail(u"double-clicking the switch label left it at \"%1\""_s.arg(m_text1->text()));
    });
    QObject::connect(m_buttons[2], &QPushButton::clicked, m_form.get(), [this] {
        ++m_command3;
        if (tipsShown != m_command3)
            fail(u"the tips button was clicked %1 times but the tips window was shown %2 times"_s.arg(m_command3)
                     .arg(tipsShown));
        if (QWidget *tips = window(m_form.get(), "Form5"); tips && tips->isVisible())
            fail(u"the tips button returned with the tips window still open"_s);
    });

    // The recommended intervals: written into open slots, the others reported in order.
    QObject::connect(m_buttons[3], &QPushButton::clicked, m_form.get(), [this] {
        ++m_command4;
        QStringList expected, shown;
        for (int k = 0; k < 3; ++k) {
            const SlotState t = state().rows[size_t(k)];
            if (!t.enabled) {
                expected << kNotTicked[k];
                continue;
            }
            const QStringList advice{kAdvice[k][0], kAdvice[k][1], kAdvice[k][2]};
            if (t.texts != advice)
                fail(u"the recommended intervals left slot %1 at %2"_s.arg(k + 1).arg(t.texts.join(u'/')));
        }
        for (const Shown &m : newMessages())
            shown << m.text;
        m_accounted = m_fake.messages.size();
        if (shown != expected)
            fail(u"the recommended intervals showed [%1], expected [%2]"_s.arg(shown.join(u" | "_s),
                                                                               expected.join(u" | "_s)));
    });
}

void Monkey::checkInvariants(const QString &when)
{
    if (failed())
        return;
    bool anyAlerting = false;
    for (int k = 0; k < 3; ++k) {
        const SlotControls s = slotControls(m_form.get(), k);
        const QString name = u"slot %1 %2"_s.arg(k + 1).arg(when);
        const bool en = s.h->isEnabled();
        if (s.m->isEnabled() != en || s.s->isEnabled() != en)
            return fail(name + u": its three boxes are not all open or all closed"_s);
        const bool checked = s.check->isChecked();
        const bool counting = s.timer->Enabled();
        QWidget *window = reminderIfLoaded(k);
        if (window && window->isVisible()) {
            anyAlerting = true;
            if (!m_watch.stack.contains(window))
                return fail(name + u": its reminder is shown, but no countdown of it ended"_s);
            if (counting || en)
                return fail(name + u": its reminder is shown while it is counting or editable"_s);
        } else {
            if (!checked && en)
                return fail(name + u": unticked with its boxes open"_s);
            if (checked && !en && !counting)
                return fail(name + u": ticked with its boxes closed, but not counting"_s);
            if (!checked && counting && texts(k) != QStringList{u"0"_s, u"0"_s, u"0"_s})
                return fail(name + u": unticked and counting, but not at 0/0/0"_s);
        }
        if (counting && !m_countingBefore[size_t(k)] && !m_startedSinceCheck)
            return fail(name + u": counting, but the start action did not start it"_s);
        if (counting && !en) {
            for (const QString &t : texts(k)) {
                const std::optional<double> v = runtime::strictToNumber(t);
                if (!v || *v < 0 || *v != std::floor(*v))
                    return fail(name + u": counting with \"%1\" in a box"_s.arg(t));
            }
        }
        m_countingBefore[size_t(k)] = counting;
    }
    m_startedSinceCheck = false;
    if (m_beeper->Enabled() && !anyAlerting)
        return fail(u"the beeper runs %1 with no reminder shown"_s.arg(when));
    if (m_fake.beeps != beeps)
        return fail(u"%1 beeps sounded, %2 beeper ticks were made"_s.arg(m_fake.beeps).arg(beeps));
    if (m_fake.messages.size() > m_accounted)
        return fail(u"an unexplained message \"%1\" was shown %2"_s.arg(m_fake.messages.at(m_accounted).text, when));

    // Only the main window and the windows being answered are on the screen.
    QList<QWidget *> expected{m_form.get()};
    expected << m_watch.stack;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && !expected.contains(w))
            return fail(u"an unexpected window %1 \"%2\" is shown %3"_s.arg(
                QString::fromLatin1(w->metaObject()->className()), w->objectName(), when));
    }
    for (QWidget *w : expected) {
        if (!w->isVisible())
            return fail(u"window %1 is no longer shown %2"_s.arg(w->objectName(), when));
    }
    if (m_form->isMinimized() != m_minimized || !m_form->isEnabled())
        return fail(u"the main window is %1 %2"_s.arg(m_form->isMinimized() ? u"minimized"_s
                                                      : m_minimized         ? u"no longer minimized"_s
                                                                            : u"disabled"_s,
                                                      when));
    if (m_form->size() != m_size)
        return fail(u"the main window changed its size %1"_s.arg(when));
}

/// Deals with a window that has just opened modally: checks it, acts a little under it
/// (as the countdowns and the beeper do while it is open), then answers it.
void Monkey::answer(QWidget *w)
{
    int slot = -1;
    for (int k = 0; k < 3; ++k) {
        if (w == reminderIfLoaded(k))
            slot = k;
    }
    const bool tips = w == window(m_form.get(), "Form5");
    if (slot < 0 && !tips) {
        fail(u"an unexpected window %1 \"%2\" opened"_s.arg(QString::fromLatin1(w->metaObject()->className()),
                                                            w->objectName()));
        w->hide();
        return;
    }
    if (tips) {
        ++tipsShown;
    } else {
        ++alerts;
        if (m_watch.stack.size() > 1)
            ++nestedAlerts;
        if (m_alerting.empty() || m_alerting.back().slot != slot) {
            fail(u"reminder %1 opened, but no countdown of it ended"_s.arg(w->objectName()));
        } else {
            const AlertContext &c = m_alerting.back();
            const bool expectBeeper = c.beeperBefore || c.sound != kOff; // every showing reads the switch
            if (m_beeper->Enabled() != expectBeeper)
                fail(u"reminder %1 opened with the beeper %2 (switch \"%3\", first time %4)"_s.arg(w->objectName())
                         .arg(m_beeper->Enabled() ? u"on"_s : u"off"_s, c.sound)
                         .arg(c.firstLoad));
        }
        // A reminder must not open where the user cannot see it.
        if (m_form->isMinimized())
            fail(u"reminder %1 opened over a minimized main window"_s.arg(w->objectName()));
        if (m_minimized)
            ++restoredByReminder;
        m_minimized = false;
        const QRect screen = w->screen()->availableGeometry();
        if (!screen.contains(w->geometry()))
            fail(u"reminder %1 lies partly off the screen"_s.arg(w->objectName()));
        const ExpectedWindow &expected = m_reminders[size_t(slot)];
        const QLabel *message = w->findChild<QLabel *>(expected.messageLabel);
        if (!message || !expected.messages.contains(message->text()))
            fail(u"reminder %1 shows an unknown message"_s.arg(w->objectName()));
    }
    if (QApplication::activeModalWidget() != w)
        fail(u"window %1 is not the active modal window"_s.arg(w->objectName()));
    const QString under = u"under %1"_s.arg(w->objectName());
    checkInvariants(under);

    // What can still happen while the window is open: countdowns and the beeper tick,
    // and clicks on the main window are kept away from it.
    const int rounds = failed() ? 0 : random(m_watch.stack.size() >= 3 ? 2 : 4);
    for (int i = 0; i < rounds && !failed(); ++i) {
        QList<int> counting;
        for (int k = 0; k < 3; ++k) {
            if (slotControls(m_form.get(), k).timer->Enabled())
                counting << k;
        }
        const int what = random(10);
        if (what < 6 && !counting.isEmpty()) {
            const int k = counting.at(random(int(counting.size())));
            const int n = chance(0.3) ? 5000 : 1 + random(3); // often: until it alerts
            for (int j = 0; j < n && !failed() && slotControls(m_form.get(), k).timer->Enabled(); ++j)
                tick(k);
        } else if (what < 8 && m_beeper->Enabled()) {
            for (int j = random(3); j >= 0; --j)
                tickBeeper();
        } else {
            blockedClick();
        }
        checkInvariants(under);
        if (!failed() && QApplication::activeModalWidget() != w)
            fail(u"window %1 is no longer the active modal window after what happened under it"_s.arg(w->objectName()));
    }

    QPushButton *ok = button(w, "Command1");
    const QString caption = tips ? u"返回"_s : u"我已知晓"_s;
    if (!ok || ok->text() != caption) {
        fail(u"window %1 has no \"%2\" button"_s.arg(w->objectName(), caption));
        w->hide();
    } else {
        // The window system activates a window that is clicked before the click reaches
        // it; synthetic clicks do not. Where activation comes after the showing (Windows),
        // wait for it, as a user sees the window active before he clicks. (isActiveWindow()
        // is no help: under the Windows style a dialog shares its owner's activation.)
        if (QApplication::activeWindow() != w) {
            w->activateWindow();
            (void)QTest::qWaitFor([w] { return QApplication::activeWindow() == w; }, 1000);
        }
        QTest::mouseClick(ok, Qt::LeftButton);
    }
    if (w->isVisible()) {
        fail(u"window %1 is still shown after \"%2\""_s.arg(w->objectName(), caption));
        w->hide();
    }
    if (!tips && m_beeper->Enabled())
        fail(u"the beeper still runs after \"我已知晓\" on %1"_s.arg(w->objectName()));
}

/// One tick of a slot's countdown, with the countdown's rule checked.
void Monkey::tick(int k)
{
    const SlotState before = state().rows[size_t(k)];
    m_alerting.push_back({k, !reminderIfLoaded(k), m_beeper->Enabled(), m_text1->text()});
    m_fake.r = std::uniform_real_distribution<double>(0, 1)(m_rng);
    ++ticks;
    ++m_ticksOf[k];
    const QStringList opened = m_watch.guarded([&] { return tickSlot(*m_form, k); });
    m_alerting.pop_back();
    if (failed())
        return;
    const SlotState after = state().rows[size_t(k)];
    const bool alerted = opened == QStringList{QString::fromLatin1(kReminderNames[k])};
    if (!opened.isEmpty() && !alerted)
        return fail(u"a tick of Timer%1 opened [%2]"_s.arg(k + 1).arg(opened.join(u", "_s)));
    if (after.enabled)
        return fail(u"slot %1's boxes are open after its tick"_s.arg(k + 1));
    if (alerted) {
        if (after.checked || after.counting || after.texts != QStringList{u"0"_s, u"0"_s, u"0"_s})
            return fail(u"slot %1 is not cleared after its reminder was answered"_s.arg(k + 1));
    }
    if (countable(before.texts[0]) && countable(before.texts[1]) && countable(before.texts[2])) {
        const qint64 total =
            digitsValue(before.texts[0]) * 3600 + digitsValue(before.texts[1]) * 60 + digitsValue(before.texts[2]);
        if (total == 0 && !alerted)
            return fail(u"slot %1 ticked at %2 without a reminder"_s.arg(k + 1).arg(before.texts.join(u'/')));
        if (total > 0) {
            if (alerted)
                return fail(u"slot %1 alerted at %2"_s.arg(k + 1).arg(before.texts.join(u'/')));
            if (!after.counting || after.checked != before.checked)
                return fail(u"slot %1 stopped or changed its tick while counting down from %2"_s.arg(k + 1).arg(
                    before.texts.join(u'/')));
            const qint64 left = countable(after.texts[0]) && countable(after.texts[1]) && countable(after.texts[2])
                                    ? digitsValue(after.texts[0]) * 3600 + digitsValue(after.texts[1]) * 60
                                          + digitsValue(after.texts[2])
                                    : -1;
            if (left != total - 1)
                return fail(
                    u"slot %1 counted from %2 to %3"_s.arg(k + 1).arg(before.texts.join(u'/'), after.texts.join(u'/')));
        }
    }
}

void Monkey::tickBeeper()
{
    ++beeps;
    m_form->Timer4_Timer();
}

/// A click on a control of the main window while a window is open over it: the window
/// system keeps it away, and nothing may change.
void Monkey::blockedClick()
{
    const QList<QWidget *> list = controls();
    QWidget *target = list.at(random(int(list.size())));
    const State before = state();
    const QByteArray fileBefore = fileContent();
    const qsizetype messagesBefore = m_fake.messages.size();
    ++blockedClicks;
    const QPoint at = target->mapTo(m_form.get(), target->rect().center());
    const QStringList opened =
        m_watch.guarded([&] { QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at); });
    if (!opened.isEmpty() || !(state() == before) || fileContent() != fileBefore
        || m_fake.messages.size() != messagesBefore)
        fail(u"a click on %1 reached the main window while %2 was open"_s.arg(target->objectName(),
                                                                              m_watch.stack.back()->objectName()));
}

QString Monkey::describe(const Action &a) const
{
    const auto boxes = m_form->timeBoxes();
    switch (a.kind) {
    case Kind::ClickCheck:
        return u"click Check%1"_s.arg(a.arg + 1);
    case Kind::DClickCheck:
        return u"double-click Check%1"_s.arg(a.arg + 1);
    case Kind::ClickBox:
        return u"click box %1 at x=%2"_s.arg(boxes[size_t(a.arg)]->objectName()).arg(a.x);
    case Kind::DClickBox:
        return u"double-click box %1"_s.arg(boxes[size_t(a.arg)]->objectName());
    case Kind::ClickLabel2:
        return u"click Label2 (start)"_s;
    case Kind::DClickLabel2:
        return u"double-click Label2 (start)"_s;
    case Kind::ClickButton:
        return u"click Command%1"_s.arg(a.arg + 1);
    case Kind::DClickButton:
        return u"double-click Command%1"_s.arg(a.arg + 1);
    case Kind::ClickLabel8:
        return u"click Label8"_s;
    case Kind::DClickLabel8:
        return u"double-click Label8"_s;
    case Kind::ClickText1:
        return u"click Text1"_s;
    case Kind::Key: {
        QWidget *f = QApplication::focusWidget();
        const QString name = QKeySequence(QKeyCombination(a.mods, Qt::Key(a.key))).toString();
        return u"key %1 \"%2\" into %3"_s.arg(name.isEmpty() ? u"?"_s : name, a.text,
                                              f ? f->objectName() : u"(nothing)"_s);
    }
    case Kind::Paste: {
        QWidget *f = QApplication::focusWidget();
        return u"paste \"%1\" into %2"_s.arg(a.text, f ? f->objectName() : u"(nothing)"_s);
    }
    case Kind::Tick:
        return u"tick Timer%1 up to %2 times"_s.arg(a.arg + 1).arg(a.x);
    case Kind::Minimize:
        return u"minimize the main window"_s;
    case Kind::Restore:
        return u"restore the main window"_s;
    }
    return {};
}

/// Clicks into the boxes of an open slot and types a short time: what a user setting a
/// reminder does, and what brings countdowns to their end within the run.
void Monkey::queueShortTime()
{
    QList<int> open;
    for (int k = 0; k < 3; ++k) {
        if (slotControls(m_form.get(), k).h->isEnabled())
            open << k;
    }
    if (open.isEmpty()) {
        m_queue.push_back({Kind::ClickCheck, random(3)});
        return;
    }
    const int k = open.at(random(int(open.size())));
    for (int j = 0; j < 3; ++j) {
        m_queue.push_back({Kind::ClickBox, k * 3 + j, 2});
        m_queue.push_back({Kind::Key, 0, 0, Qt::Key_End});
        m_queue.push_back({Kind::Key, 0, 0, Qt::Key_Home, Qt::ShiftModifier});
        const int digits = j == 2 ? 1 + random(2) : random(2);
        if (digits == 0)
            m_queue.push_back({Kind::Key, 0, 0, Qt::Key_Backspace, {}, {}});
        for (int d = 0; d < digits; ++d) {
            const QChar c(u'0' + (j == 2 ? random(10) : random(2) * random(2)));
            m_queue.push_back({Kind::Key, 0, 0, Qt::Key_0 + (c.unicode() - '0'), {}, QString(c)});
        }
    }
    if (chance(0.7))
        m_queue.push_back({Kind::ClickLabel2});
}

/// Keystrokes go mostly into a time box: half the time, when none has the focus, the
/// monkey first clicks into an open one and types there at the next step.
Monkey::Action Monkey::intoTimeBox(const Action &key)
{
    if (focusedTimeBox() || !chance(0.5))
        return key;
    QList<int> open;
    for (int i = 0; i < 9; ++i) {
        if (m_form->timeBoxes()[size_t(i)]->isEnabled())
            open << i;
    }
    if (open.isEmpty())
        return key;
    const int i = open.at(random(int(open.size())));
    m_queue.push_back(key);
    return {Kind::ClickBox, i, random(m_form->timeBoxes()[size_t(i)]->width())};
}

Monkey::Action Monkey::pick()
{
    static const QStringList pastes{u""_s,     u"7"_s,   u"12"_s,    u"007"_s,  u"1.5"_s,
                                    u"-3"_s,   u"abc"_s, u" 4 "_s,   u"1e3"_s,  u"99999999999999999999"_s,
                                    u"&H1F"_s, u"关"_s,  u"3,5"_s,   u"\t7"_s,  u"0x10"_s,
                                    u"2d1"_s,  u"59"_s,  u"60"_s,    u"23"_s,   u"24"_s,
                                    u"+8"_s,   u".9"_s,  u"1e400"_s, u"8\n9"_s, u"５"_s};
    QList<int> counting;
    for (int k = 0; k < 3; ++k) {
        if (slotControls(m_form.get(), k).timer->Enabled())
            counting << k;
    }
    auto tickAction = [&] {
        const int k = counting.at(random(int(counting.size())));
        const int r = random(100);
        const int n = r < 50 ? 1 : r < 85 ? 1 + random(20) : 1 + random(3000);
        return Action{Kind::Tick, k, n};
    };
    if (m_minimized) {
        // Out of the user's reach: only the countdowns go on, until the window is restored.
        if (counting.isEmpty() || chance(0.1))
            return {Kind::Restore};
        return tickAction();
    }
    for (;;) {
        const int roll = random(1000);
        if (roll < 6)
            return {Kind::Minimize};
        if (roll < 90)
            return {Kind::ClickCheck, random(3)};
        if (roll < 100)
            return {Kind::DClickCheck, random(3)};
        if (roll < 190) {
            const int i = random(9);
            return {Kind::ClickBox, i, random(m_form->timeBoxes()[size_t(i)]->width())};
        }
        if (roll < 200)
            return {Kind::DClickBox, random(9)};
        if (roll < 270)
            return {Kind::ClickLabel2};
        if (roll < 280)
            return {Kind::DClickLabel2};
        if (roll < 330) {
            // Save, sound, tips, recommended: tips least often, it is the dearest.
            static const int weights[4] = {4, 3, 1, 2};
            int r = random(10);
            int n = 0;
            while (r >= weights[n])
                r -= weights[n++];
            return {Kind::ClickButton, n};
        }
        if (roll < 340)
            return {Kind::DClickButton, random(4)};
        if (roll < 350)
            return {Kind::ClickLabel8};
        if (roll < 370)
            return {Kind::DClickLabel8};
        if (roll < 385)
            return {Kind::ClickText1};
        if (roll < 420) {
            queueShortTime();
            Action a = m_queue.front();
            m_queue.pop_front();
            return a;
        }
        if (roll < 460) {
            if (chance(0.3))
                QGuiApplication::clipboard()->setText(pastes.at(random(int(pastes.size()))));
            return {Kind::Paste, 0, 0, 0, {}, pastes.at(random(int(pastes.size())))};
        }
        if (roll < 520)
            return {Kind::Key, 0, 0, chance(0.5) ? int(Qt::Key_Tab) : int(Qt::Key_Backtab),
                    chance(0.5) ? Qt::KeyboardModifiers() : Qt::KeyboardModifiers(Qt::ShiftModifier)};
        if (roll < 720) {
            static const QString chars = u"0123456789012345678901234567890123456789abcxyz.-+ ,eE关开５"_s;
            const int r = random(100);
            if (r < 60) {
                const QChar c = chars.at(random(int(chars.size())));
                int key = Qt::Key_unknown;
                if (c.isDigit() && c.unicode() < 128)
                    key = Qt::Key_0 + (c.unicode() - '0');
                else if (c.isLetter() && c.unicode() < 128)
                    key = Qt::Key_A + (c.toUpper().unicode() - 'A');
                else if (c == u' ')
                    key = Qt::Key_Space;
                else if (c == u'.')
                    key = Qt::Key_Period;
                else if (c == u'-')
                    key = Qt::Key_Minus;
                else if (c == u'+')
                    key = Qt::Key_Plus;
                else if (c == u',')
                    key = Qt::Key_Comma;
                const Qt::KeyboardModifiers mods =
                    c.isUpper() ? Qt::KeyboardModifiers(Qt::ShiftModifier) : Qt::KeyboardModifiers();
                Action typed{Kind::Key, 0, 0, key, mods, QString(c)};
                typed.refused = c < u'0' || c > u'9'; // letters, blanks, signs, a full-width digit
                return intoTimeBox(typed);
            }
            // Keys that type no character keep their effect (Shift+Insert pastes); Enter,
            // Escape, Space and Ctrl+letter type one the boxes refuse.
            static const struct {
                int key;
                Qt::KeyboardModifiers mods;
                bool refused = false, pastes = false;
            } specials[] = {
                {Qt::Key_Backspace, {}},
                {Qt::Key_Backspace, {}},
                {Qt::Key_Delete, {}},
                {Qt::Key_Home, {}},
                {Qt::Key_End, {}},
                {Qt::Key_Left, {}},
                {Qt::Key_Right, {}},
                {Qt::Key_Home, Qt::ShiftModifier},
                {Qt::Key_End, Qt::ShiftModifier},
                {Qt::Key_V, Qt::ControlModifier, true},
                {Qt::Key_X, Qt::ControlModifier, true},
                {Qt::Key_C, Qt::ControlModifier, true},
                {Qt::Key_A, Qt::ControlModifier, true},
                {Qt::Key_Z, Qt::ControlModifier, true},
                {Qt::Key_Insert, Qt::ShiftModifier, false, true},
                {Qt::Key_Return, {}, true},
                {Qt::Key_Enter, Qt::KeypadModifier, true},
                {Qt::Key_Escape, {}, true},
                {Qt::Key_Space, {}, true},
                {Qt::Key_Backspace, Qt::ControlModifier},
            };
            const auto &s = specials[random(int(std::size(specials)))];
            Action key{Kind::Key, 0, 0, s.key, s.mods};
            key.refused = s.refused;
            key.pastes = s.pastes;
            return intoTimeBox(key);
        }
        // A tick, or a run of ticks, of a running countdown.
        if (counting.isEmpty())
            continue;
        return tickAction();
    }
}

/// A real double click: press and release, then the double click and its release.
void doubleClick(QWidget *w, QPoint at = QPoint())
{
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    QTest::mouseDClick(w, Qt::LeftButton, {}, at);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
}

void Monkey::perform(const Action &a)
{
    const auto boxes = m_form->timeBoxes();
    switch (a.kind) {
    case Kind::ClickCheck:
        QTest::mouseClick(slotControls(m_form.get(), a.arg).check, Qt::LeftButton);
        return;
    case Kind::DClickCheck:
        doubleClick(slotControls(m_form.get(), a.arg).check);
        return;
    case Kind::ClickBox: {
        QWidget *b = boxes[size_t(a.arg)];
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(std::clamp(a.x, 1, b->width() - 1), b->height() / 2));
        return;
    }
    case Kind::DClickBox:
        doubleClick(boxes[size_t(a.arg)]);
        return;
    case Kind::ClickLabel2:
        QTest::mouseClick(m_label2, Qt::LeftButton);
        return;
    case Kind::DClickLabel2:
        doubleClick(m_label2);
        return;
    case Kind::ClickButton:
        QTest::mouseClick(m_buttons[size_t(a.arg)], Qt::LeftButton);
        return;
    case Kind::DClickButton:
        doubleClick(m_buttons[size_t(a.arg)]);
        return;
    case Kind::ClickLabel8:
        QTest::mouseClick(m_label8, Qt::LeftButton);
        return;
    case Kind::DClickLabel8:
        doubleClick(m_label8);
        return;
    case Kind::ClickText1:
        QTest::mouseClick(m_text1, Qt::LeftButton);
        return;
    case Kind::Key: {
        QWidget *target = QApplication::focusWidget();
        if (!target)
            target = m_form.get();
        auto *box = qobject_cast<runtime::TextBox *>(target);
        const bool timeBox = box && slotOfBox(box) >= 0;
        const QString before = timeBox ? box->text() : QString();
        QString text = a.text;
        if (text.isEmpty() && a.key == Qt::Key_Space)
            text = u" "_s;
        if (text.isEmpty() && (a.key == Qt::Key_Return || a.key == Qt::Key_Enter))
            text = u"\r"_s;
        if (text.isEmpty() && a.key == Qt::Key_Backspace)
            text = u"\b"_s;
        if (text.isEmpty() && a.key == Qt::Key_Escape)
            text = u"\x1b"_s;
        if (text.isEmpty() && a.mods == Qt::ControlModifier && a.key >= Qt::Key_A && a.key <= Qt::Key_Z)
            text = QString(QChar(a.key - Qt::Key_A + 1));
        QTest::sendKeyEvent(QTest::Press, target, Qt::Key(a.key), text, a.mods);
        QTest::sendKeyEvent(QTest::Release, target, Qt::Key(a.key), text, a.mods);
        if (timeBox && !failed()) {
            // A refused key leaves a time box as it was, and no keystroke but a paste brings
            // a character other than a digit into it.
            if (a.refused && box->text() != before)
                fail(u"the refused key %1 changed box %2 from \"%3\" to \"%4\""_s.arg(describe(a), box->objectName(),
                                                                                      before, box->text()));
            if (!a.pastes && !addsNoOtherCharacter(before, box->text()))
                fail(u"the key %1 turned box %2 from \"%3\" into \"%4\""_s.arg(describe(a), box->objectName(), before,
                                                                               box->text()));
        }
        return;
    }
    case Kind::Paste:
        if (auto *edit = qobject_cast<QLineEdit *>(QApplication::focusWidget()); edit && edit->isEnabled())
            edit->insert(a.text); // what the box's context menu does with the clipboard
        return;
    case Kind::Minimize:
        m_minimized = true;
        m_form->showMinimized();
        return;
    case Kind::Restore:
        m_minimized = false;
        m_form->showNormal();
        m_form->activateWindow();
        return;
    case Kind::Tick:
        for (int j = 0; j < a.x && !failed() && slotControls(m_form.get(), a.arg).timer->Enabled(); ++j) {
            tick(a.arg);
            checkInvariants(u"after tick %1"_s.arg(j + 1));
        }
        return;
    }
}

void Monkey::step()
{
    if (!m_form->isActiveWindow() && !m_minimized) {
        // The window system gives the activation back after a window closes; here, we do.
        ++reactivations;
        m_form->activateWindow();
        QCoreApplication::processEvents();
    }
    Action a;
    if (!m_queue.empty()) {
        a = m_queue.front();
        m_queue.pop_front();
    } else {
        a = pick();
    }
    const QString what = describe(a);
    if (m_trace)
        qInfo().noquote() << "seed" << m_seed << "step" << m_index << what;
    m_recent.push_back(QString::number(m_index) + u": "_s + what);
    if (m_recent.size() > 12)
        m_recent.pop_front();

    runtime::TextBox *focused = focusedTimeBox();
    const bool focusedOpen = focused && focused->isEnabled();
    const QString focusedText = focused ? focused->text() : QString();
    const int focusedSlot = focused ? slotOfBox(focused) : -1;
    const int togglesBefore = focusedSlot >= 0 ? m_toggles[focusedSlot] : 0;
    std::array<QStringList, 3> textsBefore;
    std::array<int, 3> togglesOf{}, ticksOf{};
    for (int k = 0; k < 3; ++k) {
        textsBefore[size_t(k)] = texts(k);
        togglesOf[size_t(k)] = m_toggles[k];
        ticksOf[size_t(k)] = m_ticksOf[k];
    }
    const int command4Before = m_command4;
    const int startsBefore = m_startActions;
    const int command3Before = m_command3;
    const int tipsBefore = tipsShown;

    const QStringList opened = m_watch.guarded([&] { perform(a); });
    QCoreApplication::processEvents();
    if (failed())
        return;

    // The only windows a step opens itself are the tips window, and only through its button.
    const int tipsOpened = int(opened.count(u"Form5"_s));
    if (opened.size() != tipsOpened)
        return fail(u"the step opened [%1]"_s.arg(opened.join(u", "_s)));
    if (tipsShown - tipsBefore != m_command3 - command3Before)
        return fail(u"the tips window opened %1 times for %2 clicks of its button"_s.arg(tipsShown - tipsBefore)
                        .arg(m_command3 - command3Before));

    // A time box left for another control of the program holds a whole number in its
    // field's range; one that held such a number already keeps it.
    QWidget *now = QApplication::focusWidget();
    if (focusedOpen && focused->isEnabled() && now != focused && now && now->window() == m_form.get()) {
        const QString t = focused->text();
        if (!wholeInRange(t, focused->objectName()))
            return fail(
                u"box %1 was left holding \"%2\" (it held \"%3\")"_s.arg(focused->objectName(), t, focusedText));
        const bool rewritten = m_toggles[focusedSlot] != togglesBefore || m_command4 != command4Before;
        if (!rewritten && wholeInRange(focusedText, focused->objectName()) && t != focusedText)
            return fail(u"box %1 was left holding \"%2\" after \"%3\""_s.arg(focused->objectName(), t, focusedText));
    }
    // A box's text changes only through what may change it: typing or pasting into it,
    // leaving it, its check box, the recommended intervals, the start action, or a tick
    // of its countdown.
    const auto boxes = m_form->timeBoxes();
    for (int i = 0; i < 9; ++i) {
        const int k = i / 3;
        const QString before = textsBefore[size_t(k)].at(i % 3);
        runtime::TextBox *b = boxes[size_t(i)];
        if (b->text() == before)
            continue;
        const bool ownBox =
            b == focused && (a.kind == Kind::Key || a.kind == Kind::Paste || QApplication::focusWidget() != focused);
        const bool slotRewritten = m_toggles[k] != togglesOf[size_t(k)] || m_ticksOf[k] != ticksOf[size_t(k)];
        if (!ownBox && !slotRewritten && m_command4 == command4Before && m_startActions == startsBefore)
            return fail(u"box %1 changed from \"%2\" to \"%3\" with nothing to change it"_s.arg(b->objectName(), before,
                                                                                                b->text()));
    }
    // A box that keeps the focus keeps its text, whatever opened and closed meanwhile,
    // unless the step typed or pasted into it or the start action put a text that is no
    // whole number right.
    if (focusedOpen && now == focused && a.kind != Kind::Key && a.kind != Kind::Paste
        && m_toggles[focusedSlot] == togglesBefore && m_command4 == command4Before && m_startActions == startsBefore
        && focused->text() != focusedText)
        return fail(u"box %1 kept the focus but \"%2\" became \"%3\""_s.arg(focused->objectName(), focusedText,
                                                                            focused->text()));
    if (focusedOpen && focused->isEnabled() && now != focused && (!now || now->window() != m_form.get())
        && !QApplication::activeModalWidget())
        ++reactivations; // the focus left the program; the next step gives it back

    checkInvariants(u"after the step"_s);
    if (failed())
        return;
    if (fileContent() != m_file)
        return fail(u"the settings file changed without a save: \"%1\""_s.arg(QString::fromLatin1(fileContent())));
}

QString Monkey::run()
{
    setUp();
    QElapsedTimer clock;
    clock.start();
    for (m_index = 1; m_index <= m_actions && !failed(); ++m_index) {
        step();
        ++steps;
        if (m_actions > kDefaultActions && m_index % 1000 == 0)
            qInfo().noquote() << u"seed %1: %2 steps, %3 ticks, %4 reminders, %5 ms"_s.arg(m_seed)
                                     .arg(m_index)
                                     .arg(ticks)
                                     .arg(alerts)
                                     .arg(clock.elapsed());
        if (clock.elapsed() > kSeedBudgetMs) {
            stoppedEarly = true;
            break;
        }
    }
    messages = int(m_fake.messages.size());
    return m_failure;
}

/// The offscreen window system cannot raise windows and says so at every reminder.
QtMessageHandler previousHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message == u"This plugin does not support raise()"_s)
        return;
    previousHandler(type, context, message);
}

int envInt(const char *name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { previousHandler = qInstallMessageHandler(quietHandler); }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }
    void monkey_data();
    void monkey();
};

void TestSoak::monkey_data()
{
    QTest::addColumn<quint32>("seed");
    if (qEnvironmentVariableIsSet("QUORVANE_SOAK_SEED")) {
        const auto seed = quint32(envInt("QUORVANE_SOAK_SEED", 1));
        QTest::addRow("seed %u", seed) << seed;
        return;
    }
    for (quint32 seed : kSeeds)
        QTest::addRow("seed %u", seed) << seed;
}

void TestSoak::monkey()
{
    QFETCH(quint32, seed);
    const int actions = envInt("QUORVANE_SOAK_ACTIONS", kDefaultActions);
    QElapsedTimer clock;
    clock.start();
    Monkey monkey(seed, actions, qEnvironmentVariableIntValue("QUORVANE_SOAK_TRACE") != 0);
    const QString failure = monkey.run();
    qInfo().noquote() << u"seed %1: %2 steps in %3 ms; %4 ticks, %5 reminders (%6 over another window), "
                         u"%7 tips, %8 saves, %9 messages, %10 beeps, %11 blocked clicks, %12 reactivations, "
                         u"%13 reminders over the minimized window%14"_s.arg(seed)
                             .arg(monkey.steps)
                             .arg(clock.elapsed())
                             .arg(monkey.ticks)
                             .arg(monkey.alerts)
                             .arg(monkey.nestedAlerts)
                             .arg(monkey.tipsShown)
                             .arg(monkey.saves)
                             .arg(monkey.messages)
                             .arg(monkey.beeps)
                             .arg(monkey.blockedClicks)
                             .arg(monkey.reactivations)
                             .arg(monkey.restoredByReminder)
                             .arg(monkey.stoppedEarly ? u" (stopped early: time budget)"_s : QString());
    if (!failure.isEmpty()) {
        // The test log cuts long failure texts short: the whole story goes out first.
        qInfo().noquote() << failure;
        QFAIL(qPrintable(failure.section(u'\n', 0, 0)));
    }
    // A monkey that never reaches a reminder or a save tests little.
    QVERIFY2(monkey.alerts > 0 && monkey.saves > 0 && monkey.tipsShown > 0,
             qPrintable(u"seed %1 never reached a reminder, a save or the tips window"_s.arg(seed)));
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
