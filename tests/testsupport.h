// Helpers shared by the tests: finding controls, answering modal windows, recording
// message boxes and pointing the settings file at a scratch folder.
#pragma once

#include "app/mainform.h"
#include "app/startup.h"
#include "runtime/hooks.h"
#include "runtime/textbox.h"
#include "runtime/timer.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

namespace testsupport {

using app::MainForm;

inline runtime::TextBox *box(QObject *form, const char *name)
{
    return form->findChild<runtime::TextBox *>(QLatin1String(name));
}
inline QCheckBox *check(QObject *form, const char *name)
{
    return form->findChild<QCheckBox *>(QLatin1String(name));
}
inline runtime::Timer *timer(QObject *form, const char *name)
{
    return form->findChild<runtime::Timer *>(QLatin1String(name));
}
inline QPushButton *button(QObject *form, const char *name)
{
    return form->findChild<QPushButton *>(QLatin1String(name));
}
inline QLabel *label(QObject *form, const char *name)
{
    return form->findChild<QLabel *>(QLatin1String(name));
}

/// A window of the program by its name ("Form2" ... "Form5"), once it has been made: the
/// secondary windows are made, owned by the main window, at their first showing.
inline QWidget *window(QObject *form, const char *name)
{
    return form->findChild<QWidget *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

/// Arms a helper before a blocking call: it waits for a modal window to appear, hands
/// it to act (which must close it), and gives up after the deadline. Assert only after
/// the blocking call has returned.
inline void whenModal(std::function<void(QWidget *)> act, int deadlineMs = 5000)
{
    auto *poll = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w && clock->elapsed() < deadlineMs)
            return;
        poll->stop();
        poll->deleteLater();
        if (w)
            act(w);
    });
    poll->start(10);
}

/// Clicks OK on a real message box and records what it showed.
struct SeenBox {
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool seen = false;
};
inline void answerMessageBox(SeenBox *seen)
{
    whenModal([seen](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box) {
            w->hide();
            return;
        }
        seen->seen = true;
        seen->text = box->text();
        seen->title = box->windowTitle();
        seen->icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
}

/// One message box as the program asked for it.
struct Shown {
    QString text, title;
    QMessageBox::Icon icon;
};

/// Hooks that record message boxes and beeps and gives the random number r; handed
/// to the windows under test. Its members may be swapped for real ones (a real message box).
class FakeHooks
{
public:
    FakeHooks()
    {
        hooks.message = [this](QWidget *, const QString &text, const QString &title, QMessageBox::Icon icon) {
            messages.append({text, title, icon});
            if (onMessage)
                onMessage();
        };
        hooks.beep = [this] {
            ++beeps;
        };
        hooks.randomize = [] {
        };
        hooks.random = [this] {
            return r;
        };
    }

    QStringList texts() const
    {
        QStringList list;
        for (const Shown &s : messages)
            list << s.text;
        return list;
    }

    runtime::Hooks hooks;
    QList<Shown> messages;
    std::function<void()> onMessage;
    int beeps = 0;
    double r = 0;
};

/// Sets environment variables for one test case and puts back what they were when it
/// goes: a variable left pointing at a removed scratch folder would make whatever reads it
/// later (the sound server's client, for one) create that folder again.
class ScopedEnvironment
{
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;
    ~ScopedEnvironment()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->wasSet)
                qputenv(it->name.constData(), it->value);
            else
                qunsetenv(it->name.constData());
        }
    }
    void set(const char *name, const QByteArray &value)
    {
        m_saved.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
        qputenv(name, value);
    }
    void set(const char *name, const QString &value) { set(name, value.toLocal8Bit()); }

private:
    struct Saved {
        QByteArray name;
        bool wasSet;
        QByteArray value;
    };
    std::vector<Saved> m_saved;
};

/// A scratch configuration folder holding the settings file for one test case; the
/// settings file is looked for there while the folder exists.
class SettingsFolder
{
public:
    SettingsFolder()
    {
        // The configuration folder on Linux; the roaming and local application data
        // folders on Windows (the settings file, the options, where earlier files lie).
        for (const char *name : {"XDG_CONFIG_HOME", "APPDATA", "LOCALAPPDATA"})
            m_environment.set(name, m_dir.path());
    }
    QString file() const { return m_dir.path() + QStringLiteral("/Quorvane.txt"); }
    void write(const QByteArray &content) const
    {
        QFile f(file());
        f.open(QIODevice::WriteOnly);
        f.write(content);
    }
    QByteArray read() const
    {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    ScopedEnvironment m_environment; // declared after the folder: put back before it goes
};

/// Answers the modal windows a step opens, also when steps nest (a tick made under an open
/// reminder may open another reminder over it): only the innermost step answers what
/// opens, and the windows being answered are listed in stack, lowest first. answer must
/// close the window it is given.
class ModalWatch
{
public:
    explicit ModalWatch(std::function<void(QWidget *)> answer)
        : m_answer(std::move(answer))
    { }

    /// Runs act with the watch armed; returns the names of the windows it opened, in order.
    QStringList guarded(const std::function<void()> &act)
    {
        QStringList opened;
        QTimer poll;
        poll.setInterval(0);
        const int level = ++m_level;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget *w = QApplication::activeModalWidget();
            if (!w || stack.contains(w) || level != m_level)
                return;
            poll.stop();
            opened << w->objectName();
            stack << w;
            m_answer(w);
            stack.removeAll(w);
            poll.start(); // one step may open windows one after the other
        });
        poll.start();
        act();
        poll.stop();
        --m_level;
        return opened;
    }

    QList<QWidget *> stack;

private:
    std::function<void(QWidget *)> m_answer;
    int m_level = 0;
};

/// The controls of reminder slot k (0 water, 1 eye rest, 2 toilet), found by their names.
struct SlotControls {
    QCheckBox *check;
    runtime::TextBox *h, *m, *s;
    runtime::Timer *timer;
};
inline SlotControls slotControls(QObject *form, int k)
{
    static const char *const names[3][5] = {{"Check1", "h", "m", "s", "Timer1"},
                                            {"Check2", "h2", "m2", "s2", "Timer2"},
                                            {"Check3", "h3", "m3", "s3", "Timer3"}};
    const auto *n = names[k];
    return {check(form, n[0]), box(form, n[1]), box(form, n[2]), box(form, n[3]), timer(form, n[4])};
}
inline std::array<SlotControls, 3> allSlots(QObject *form)
{
    return {slotControls(form, 0), slotControls(form, 1), slotControls(form, 2)};
}

/// Runs the countdown tick of slot k (0 water, 1 eye rest, 2 toilet), as its timer would.
inline void tickSlot(MainForm &form, int k)
{
    switch (k) {
    case 0:
        return form.Timer1_Timer();
    case 1:
        return form.Timer2_Timer();
    default:
        return form.Timer3_Timer();
    }
}

/// The main window over recorded message boxes and a scratch settings file (nine zeros
/// unless given), optionally shown.
struct Fixture {
    explicit Fixture(const QByteArray &settings = "0,0,0,0,0,0,0,0,0\r\n", bool shown = false)
    {
        folder.write(settings);
        form = std::make_unique<MainForm>(fake.hooks);
        if (shown)
            form->show();
    }
    FakeHooks fake;
    SettingsFolder folder;
    std::unique_ptr<MainForm> form;
};

} // namespace testsupport
