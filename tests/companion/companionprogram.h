// The main window with the additions, as the companion's tests drive it.
#pragma once

#include "app/companionwiring.h"
#include "companion/companionmenu.h"
#include "testsupport.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSystemTrayIcon>
#include <QTimerEvent>

#include <chrono>
#include <optional>

namespace testsupport {

using namespace Qt::StringLiterals;

/// The main window with the additions, over recorded message boxes, scratch settings and
/// options files ("dir" makes the options file a folder) and a clock the test sets.
struct Program : Fixture {
    explicit Program(const QByteArray &options = {})
        : Fixture("0,0,0,0,0,0,0,0,0\r\n", true)
    {
        QDir().mkpath(folder.path() + u"/Quorvane"_s);
        if (options == "dir")
            QDir().mkpath(optionsPath());
        else if (!options.isNull())
            writeFile(optionsPath(), options);
        restart();
    }
    /// The additions as at a new start of the program: they read their files again.
    void restart()
    {
        wiring.reset();
        auto setup = app::CompanionWiring::setupFor(*form, fake.hooks);
        setup.clock = [this] {
            return now;
        };
        setup.historyPath = historyPath();
        setup.idleTime = [this] {
            return idle;
        };
        wiring = std::make_unique<app::CompanionWiring>(*form, std::move(setup));
    }
    static void writeFile(const QString &path, const QByteArray &content)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QString optionsPath() const { return folder.path() + u"/Quorvane/Quorvane.conf"_s; }
    QString historyPath() const { return folder.path() + u"/Quorvane/history.sqlite"_s; }
    /// The additions' menu, as a right click on the main window opens it.
    companion::CompanionMenu &menu() { return *form->findChild<companion::CompanionMenu *>(); }
    /// A pause the user chose runs: "继续计时" is offered.
    bool paused() { return menu().resume()->isEnabled(); }
    /// The tray icon, once the event loop has come round after the start.
    QSystemTrayIcon *trayIcon()
    {
        QCoreApplication::processEvents();
        return form->findChild<QSystemTrayIcon *>();
    }
    /// The tray icon's tooltip as the desktop is given it, the changes made so far included.
    QString toolTip()
    {
        QSystemTrayIcon *icon = trayIcon();
        QCoreApplication::sendPostedEvents();
        return icon ? icon->toolTip() : u"(no tray icon)"_s;
    }
    /// Fires a timer of the additions ("pauseEnd", "awayPoll") as its time coming would.
    void fire(const char *name)
    {
        auto *t = form->findChild<QTimer *>(QLatin1String(name));
        QVERIFY2(t, name);
        QTimerEvent e(t->timerId());
        QCoreApplication::sendEvent(t, &e);
    }
    SlotControls slot(int k) { return slotControls(form.get(), k); }

    /// Ticks slot k and types the interval (the start action then starts it).
    void select(int k, const QString &h, const QString &m, const QString &s)
    {
        const SlotControls c = slot(k);
        c.check->setChecked(true);
        c.h->setText(h);
        c.m->setText(m);
        c.s->setText(s);
    }
    /// One tick of slot k as its timer delivers it (event filters included); answer gets
    /// the reminder a tick at 0/0/0 opens.
    void tick(int k, std::function<void(QWidget *)> answer = {})
    {
        if (answer)
            whenModal(std::move(answer));
        QTimerEvent e(slot(k).timer->timerId());
        QCoreApplication::sendEvent(slot(k).timer, &e);
    }

    QDateTime now{QDate(2024, 5, 6), QTime(14, 0, 40)};
    /// The user's idle time as the desktop would tell it; none: it does not tell.
    std::optional<std::chrono::milliseconds> idle;
    std::unique_ptr<app::CompanionWiring> wiring;
};

inline void acknowledge(QWidget *reminder)
{
    button(reminder, "Command1")->click();
}

inline QStringList boxTexts(const SlotControls &c)
{
    return {c.h->text(), c.m->text(), c.s->text()};
}

/// Rows of a query on the record at path, each its fields joined by a space.
inline QStringList recordRows(const QString &path, const QString &select)
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"check"_s);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(select, db);
            while (q.next()) {
                QStringList fields;
                for (int k = 0; k < q.record().count(); ++k)
                    fields << q.value(k).toString();
                rows << fields.join(u' ');
            }
        }
    }
    QSqlDatabase::removeDatabase(u"check"_s);
    return rows;
}

} // namespace testsupport
