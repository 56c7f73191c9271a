#include "companion/history.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <utility>

namespace companion {
namespace {

const QString kDriver = QStringLiteral("QSQLITE");
const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

QString endName(reminders::End how)
{
    switch (how) {
    case reminders::End::Acknowledged:
        return QStringLiteral("acknowledged");
    case reminders::End::PutOff:
        return QStringLiteral("put off");
    case reminders::End::OpenAtExit:
        break;
    }
    return QStringLiteral("open at exit");
}

} // namespace

History::History(QString path, Clock now)
    : m_path(std::move(path))
    , m_now(std::move(now))
    , m_connection(QStringLiteral("history-%1").arg(quintptr(this)))
{ }

History::~History()
{
    close();
}

void History::close()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
    m_open = false;
}

bool History::openAndCheck()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, m_connection);
    db.setDatabaseName(m_path);
    if (!db.open())
        return false;
    // Any file opens; a damaged one (or one that is no database) fails the check.
    QSqlQuery check(db);
    if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next()
        || check.value(0).toString() != QLatin1String("ok"))
        return false;
    QSqlQuery create(db);
    if (!create.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS reminders (id INTEGER PRIMARY KEY, "
                                    "slot INTEGER NOT NULL, opened TEXT NOT NULL, ended TEXT, how TEXT, "
                                    "due TEXT, waited INTEGER)"))
        || !create.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS rests (id INTEGER PRIMARY KEY, "
                                       "slot INTEGER NOT NULL, at TEXT NOT NULL, absence INTEGER NOT NULL)")))
        return false;
    // A record made before reminders could wait gets the columns for it.
    QSqlQuery columns(db);
    QStringList have;
    if (columns.exec(QStringLiteral("PRAGMA table_info(reminders)")))
        while (columns.next())
            have << columns.value(1).toString();
    for (const QString &column : {QStringLiteral("due TEXT"), QStringLiteral("waited INTEGER")}) {
        if (!have.contains(column.section(u' ', 0, 0))
            && !create.exec(QStringLiteral("ALTER TABLE reminders ADD COLUMN ") + column))
            return false;
    }
    return true;
}

History::Opened History::open()
{
    if (!QSqlDatabase::isDriverAvailable(kDriver))
        return Opened::NoDriver;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    Opened result = Opened::Fine;
    if (!openAndCheck()) {
        close();
        if (!QFileInfo(m_path).isFile())
            return Opened::Unavailable; // a folder, or no folder can be made
        // Kept for whoever wants to look into it; the record starts afresh.
        m_keptAs = m_path + QStringLiteral(".damaged-") + m_now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        if (!QFile::rename(m_path, m_keptAs) || !openAndCheck()) {
            close();
            return Opened::Unavailable;
        }
        result = Opened::Damaged;
    }
    m_open = true;
    QSqlQuery prune(QSqlDatabase::database(m_connection, false));
    prune.prepare(QStringLiteral("DELETE FROM reminders WHERE opened < ?"));
    prune.addBindValue(m_now().addYears(-1).toString(kTimeFormat));
    prune.exec();
    QSqlQuery pruneRests(QSqlDatabase::database(m_connection, false));
    pruneRests.prepare(QStringLiteral("DELETE FROM rests WHERE at < ?"));
    pruneRests.addBindValue(m_now().addYears(-1).toString(kTimeFormat));
    pruneRests.exec();
    return result;
}

void History::waiting(alerts::Slot slot)
{
    m_due[alerts::indexOf(slot)] = m_now();
}

void History::opened(alerts::Slot slot)
{
    const QDateTime due = std::exchange(m_due[alerts::indexOf(slot)], QDateTime());
    if (!m_open)
        return;
    const QDateTime now = m_now();
    QSqlQuery insert(QSqlDatabase::database(m_connection, false));
    insert.prepare(QStringLiteral("INSERT INTO reminders (slot, opened, due, waited) VALUES (?, ?, ?, ?)"));
    insert.addBindValue(int(alerts::indexOf(slot)));
    insert.addBindValue(now.toString(kTimeFormat));
    insert.addBindValue(due.isValid() ? QVariant(due.toString(kTimeFormat)) : QVariant());
    insert.addBindValue(due.isValid() ? QVariant(due.secsTo(now)) : QVariant());
    m_rows[alerts::indexOf(slot)] = insert.exec() ? insert.lastInsertId().toLongLong() : 0;
}

void History::ended(alerts::Slot slot, reminders::End how)
{
    const qint64 row = std::exchange(m_rows[alerts::indexOf(slot)], 0);
    if (!m_open || row == 0)
        return;
    QSqlQuery update(QSqlDatabase::database(m_connection, false));
    update.prepare(QStringLiteral("UPDATE reminders SET ended = ?, how = ? WHERE id = ?"));
    update.addBindValue(m_now().toString(kTimeFormat));
    update.addBindValue(endName(how));
    update.addBindValue(row);
    update.exec();
}

void History::rested(alerts::Slot slot, std::chrono::seconds absence)
{
    if (!m_open)
        return;
    QSqlQuery insert(QSqlDatabase::database(m_connection, false));
    insert.prepare(QStringLiteral("INSERT INTO rests (slot, at, absence) VALUES (?, ?, ?)"));
    insert.addBindValue(int(alerts::indexOf(slot)));
    insert.addBindValue(m_now().toString(kTimeFormat));
    insert.addBindValue(qint64(absence.count()));
    insert.exec();
}

void History::endAllOpen()
{
    for (const alerts::Slot slot : alerts::kSlots)
        ended(slot, reminders::End::OpenAtExit);
}

std::vector<History::Day> History::lastDays(int count) const
{
    std::vector<Day> days(size_t(std::max(count, 0)));
    const QDate today = m_now().date();
    for (size_t k = 0; k < days.size(); ++k)
        days[k].date = today.addDays(qint64(k) - qint64(days.size()) + 1);
    if (!m_open || days.empty())
        return days;
    QSqlQuery select(QSqlDatabase::database(m_connection, false));
    select.prepare(QStringLiteral("SELECT substr(opened, 1, 10), slot, COUNT(*) FROM reminders "
                                  "WHERE how = ? AND opened >= ? GROUP BY 1, 2"));
    select.addBindValue(endName(reminders::End::Acknowledged));
    select.addBindValue(days.front().date.toString(Qt::ISODate));
    if (!select.exec())
        return days;
    while (select.next()) {
        const qint64 k = days.front().date.daysTo(QDate::fromString(select.value(0).toString(), Qt::ISODate));
        const int slot = select.value(1).toInt();
        if (k >= 0 && k < qint64(days.size()) && slot >= 0 && slot < 3)
            days[size_t(k)].acknowledged[size_t(slot)] = select.value(2).toInt();
    }
    return days;
}

} // namespace companion
