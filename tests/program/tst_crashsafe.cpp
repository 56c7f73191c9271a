// Saving the settings file survives being killed at any moment: a helper program saves
// over and over through the program's own save, is killed outright at random moments a
// few hundred times, and after every kill the file must still be one whole line that
// the helper wrote, never empty, cut short or a mixture of two lines. A temporary file
// that a killed save leaves behind is removed by the next save.
//
// The moments are drawn from a fixed seed so that a failure can be repeated; set
// QUORVANE_CRASHSAFE_SEED to try others and QUORVANE_CRASHSAFE_ROUNDS for more kills.
#include "settings/settingsfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace {

// The two lines the helper alternates between; their first number is replaced by the
// count of the save. They differ in length so that a mixture of the two shows.
const QByteArray kLineA = "0,30,0,0,20,0,0,0,45";
const QByteArray kLineB = "1,59.75,59,23,0.001,1234567.5,12,34,56.125";

QByteArray lineFor(long long count)
{
    settings::SavedIntervals::Values values = settings::SettingsFile::parse(count % 2 == 0 ? kLineA : kLineB).values;
    values[0] = double(count);
    return settings::SettingsFile::format(values);
}

int envNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

} // namespace

class TestCrashSafe : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void killedSavesLeaveOneWholeLine();
};

void TestCrashSafe::killedSavesLeaveOneWholeLine()
{
    const QString helper = QStringLiteral(SAVEKILLER);
    QVERIFY2(QFileInfo(helper).isExecutable(), qPrintable(helper));

    const quint32 seed = quint32(envNumber("QUORVANE_CRASHSAFE_SEED", 20240611));
    const int rounds = envNumber("QUORVANE_CRASHSAFE_ROUNDS", 300);
    constexpr qint64 kBudgetMs = 20000; // past this the remaining rounds are skipped
    constexpr int kMinRounds = 60;      // done even past the budget
    QRandomGenerator random(seed);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("Quorvane.txt"));
    const QString name = QFileInfo(file).fileName();
    const settings::SavedIntervals::Values first = settings::SettingsFile::parse(kLineA).values;
    QCOMPARE(settings::SettingsFile::write(file, first), settings::SettingsFile::Failure::None);
    // How long a save takes here depends on how fast the disk syncs: the wide delays
    // below reach several saves into a run on a slow disk as on a fast one.
    QElapsedTimer saving;
    saving.start();
    constexpr int kProbes = 10;
    for (int k = 0; k < kProbes; ++k)
        QCOMPARE(settings::SettingsFile::write(file, first), settings::SettingsFile::Failure::None);
    const quint32 wideUs = std::max<quint32>(20000, quint32(saving.nsecsElapsed() / 1000 / kProbes * 8));

    long long count = 0; // the count of the save the file holds
    long long saves = 0;
    int done = 0, roundsWithOneSave = 0, newestStrays = 0;
    QSet<QString> strays;
    {
        // As a save killed between naming its temporary file and renaming it leaves it
        // (rare: killed saves seldom leave anything), for the first helper to remove.
        const QString planted = name + QStringLiteral(".kiLLed");
        QFile f(dir.filePath(planted));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("7,30,0,0,2") == 10);
        strays.insert(planted);
    }
    QElapsedTimer clock;
    clock.start();
    for (; done < rounds && (clock.elapsed() < kBudgetMs || done < kMinRounds); ++done) {
        // Wide delays reach the middle of a long run of saves; short ones the moments
        // right after the first save, when the helper is still starting its second.
        const quint32 delayUs = random.bounded(4) == 0 ? random.bounded(300u) : random.bounded(wideUs);

        QProcess saver;
        saver.setProcessChannelMode(QProcess::SeparateChannels);
        saver.start(helper,
                    {file, QString::number(count + 1), QString::fromLatin1(kLineA), QString::fromLatin1(kLineB)});
        QVERIFY2(saver.waitForStarted(10000), qPrintable(saver.errorString()));
        QByteArray said;
        while (!said.contains("ready\n") && saver.state() == QProcess::Running && saver.waitForReadyRead(10000))
            said += saver.readAllStandardOutput();
        said += saver.readAllStandardOutput();
        QVERIFY2(said.contains("ready\n"), qPrintable(QStringLiteral("round %1: the helper did not get ready: %2")
                                                          .arg(done)
                                                          .arg(QString::fromLocal8Bit(saver.readAllStandardError()))));
        QThread::usleep(delayUs);
        saver.kill(); // SIGKILL on Linux: no clean-up of any kind in the helper
        QVERIFY(saver.waitForFinished(10000));
        QCOMPARE(saver.exitStatus(), QProcess::CrashExit);

        QFile f(file);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(QStringLiteral("round %1: the file is gone").arg(done)));
        const QByteArray content = f.readAll();
        f.close();
        const settings::SettingsFile::ReadResult read = settings::SettingsFile::parse(content);
        const QString what = QStringLiteral("round %1 (seed %2, delay %3 us): \"%4\"")
                                 .arg(done)
                                 .arg(seed)
                                 .arg(delayUs)
                                 .arg(QString::fromLatin1(content.toPercentEncoding()));
        QVERIFY2(read.complete(), qPrintable(what));
        const double held = read.values[0];
        QVERIFY2(held == std::floor(held), qPrintable(what));
        // The save reported ready was complete before the kill, and no save goes back.
        QVERIFY2(held >= double(count + 1),
                 qPrintable(what + QStringLiteral(", expected a count from %1").arg(count + 1)));
        QCOMPARE(content, lineFor((long long)held));
        if (held == double(count + 1))
            ++roundsWithOneSave;
        saves += (long long)held - count;
        count = (long long)held;

        // What a killed save may leave: one file of its own beside the settings file. The
        // helper's first save, complete before the kill, removed those of earlier kills.
        const QStringList entries = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        QVERIFY2(entries.contains(name), qPrintable(entries.join(QLatin1Char(' '))));
        int added = 0;
        for (const QString &entry : entries) {
            if (entry == name)
                continue;
            QVERIFY2(entry.startsWith(name + QLatin1Char('.')), qPrintable(what + QLatin1String(": ") + entry));
            QVERIFY2(!strays.contains(entry),
                     qPrintable(what + QLatin1String(": an earlier kill's temporary file is still there: ") + entry));
            strays.insert(entry);
            ++added;
        }
        QVERIFY2(added <= 1, qPrintable(what + QLatin1String(": ") + entries.join(QLatin1Char(' '))));
        if (added)
            ++newestStrays;
    }
    // The program's next save leaves the settings file alone in its folder.
    QCOMPARE(settings::SettingsFile::write(file, first), settings::SettingsFile::Failure::None);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{name});
    qInfo("seed %u, kills up to %u us after the first save: %d kills in %lld ms, %lld saves completed (%d kills right "
          "after the first save); "
          "%d temporary files left behind by killed saves, each removed by the next save: %s",
          seed, wideUs, done, clock.elapsed(), saves, roundsWithOneSave, newestStrays,
          qPrintable(QStringList(strays.values()).join(QLatin1Char(' '))));
    // Most kills must have hit a run of saves, not only the moment after the first.
    QVERIFY2(done - roundsWithOneSave >= done / 2, "the kills came too early to test anything");
}

QTEST_GUILESS_MAIN(TestCrashSafe)
#include "tst_crashsafe.moc"
