// The freedesktop side of the platform layer: the settings location, the XDG autostart
// entry, the lock-file instance, the sound theme's bell and the heap given back.
#include "platform/autostart.h"
#include "platform/filelocations.h"
#include "platform/memoryrelease.h"
#include "platform/singleinstance.h"
#include "platform/systembell.h"
#include "testmain.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

QImage drawn(const QString &text, int pointSize)
{
    QImage image(600, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(QFont(u"Noto Serif CJK SC"_s, pointSize));
    painter.drawText(10, 60, text);
    return image;
}

} // namespace

class TestFreedesktop : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void filesFollowTheConfigFolder();
    void autostartEntry_data();
    void autostartEntry();
    void lockFileKeepsOneInstance();
    void aLockNobodyAnswersForIsNoInstance();
    void beepPlaysTheSoundThemeBell();
    void memoryGoesBackAfterAWindowAppearsOrGoesOrTheUserActs();
    void textDrawsTheSameAfterTheMemoryRelease();
};

void TestFreedesktop::filesFollowTheConfigFolder()
{
    QTemporaryDir folder;
    ScopedEnvironment environment;
    environment.set("XDG_CONFIG_HOME", folder.path());
    QCOMPARE(platform::FileLocations::settingsFile(), folder.path() + u"/Quorvane.txt"_s);
    QCOMPARE(platform::FileLocations::optionsFile(), folder.path() + u"/Quorvane/Quorvane.conf"_s);
    QVERIFY(platform::FileLocations::earlierSettingsFiles().isEmpty());
    QCOMPARE(platform::Autostart::defaultPath(), folder.path() + u"/autostart/io.github.quorvane.Quorvane.desktop"_s);
}

void TestFreedesktop::autostartEntry_data()
{
    // Exec as the desktop entry format wants it: quoted where the path holds a reserved
    // character, with \" \$ \\ inside the quotes, then each backslash doubled; %% for %.
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("exec");
    QTest::newRow("plain path") << u"/usr/bin/quorvane"_s << u"/usr/bin/quorvane"_s;
    QTest::newRow("blank in the path") << u"/opt/my apps/quorvane"_s << u"\"/opt/my apps/quorvane\""_s;
    QTest::newRow("quote, dollar, backslash, percent")
        << u"/opt/a\"b$c\\d%e/quorvane"_s << u"\"/opt/a\\\\\"b\\\\$c\\\\\\\\d%%e/quorvane\""_s;
}

void TestFreedesktop::autostartEntry()
{
    QFETCH(QString, program);
    QFETCH(QString, exec);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"autostart/io.github.quorvane.Quorvane.desktop"_s);
    const platform::Autostart autostart(program, path);
    QVERIFY(!autostart.isEnabled());
    QVERIFY(autostart.enable()); // the folder is made too
    QVERIFY(autostart.isEnabled());
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(written.readAll()).split(u'\n');
    written.close();
    QVERIFY2(lines.contains(u"Exec="_s + exec), qPrintable(lines.join(u'\n')));
    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate is missing (package desktop-file-utils)");
    QProcess validate;
    validate.start(validator, {path});
    QVERIFY(validate.waitForFinished());
    const QByteArray said = validate.readAll();
    QVERIFY2(validate.exitCode() == 0 && said.isEmpty(), said.constData());

    QVERIFY(autostart.disable());
    QVERIFY(!QFile::exists(path));
    QVERIFY(!autostart.isEnabled());
    QVERIFY(autostart.disable()); // nothing there: nothing to fail
    // A file put there by hand counts as the choice.
    QVERIFY(written.open(QIODevice::WriteOnly));
    written.close();
    QVERIFY(autostart.isEnabled());
}

void TestFreedesktop::lockFileKeepsOneInstance()
{
    // No session bus here (the test runs with a bus address that leads nowhere).
    QTemporaryDir runtime;
    const QString id = u"io.github.quorvane.Test"_s;
    auto first = std::make_unique<platform::SingleInstance>(id, runtime.path());
    QVERIFY(first->claim());
    QVERIFY(QFile::exists(runtime.path() + u"/"_s + id + u".lock"_s));
    QSignalSpy activated(first.get(), &platform::SingleInstance::activated);

    platform::SingleInstance second(id, runtime.path());
    QVERIFY(!second.claim());
    QTRY_COMPARE(activated.size(), 1);

    // The lock goes with the instance, however it ends; the files left behind do not count.
    first.reset();
    QVERIFY(QFile::exists(runtime.path() + u"/"_s + id + u".lock"_s));
    platform::SingleInstance third(id, runtime.path());
    QVERIFY(third.claim());
}

void TestFreedesktop::aLockNobodyAnswersForIsNoInstance()
{
    // The lock is held by a process that never opens the pipe (not the program, or hung
    // before it got there): the launch runs rather than end without a word.
    QTemporaryDir runtime;
    const QString id = u"io.github.quorvane.Test"_s;
    const QByteArray path = QFile::encodeName(runtime.filePath(id + u".lock"_s));
    const int held = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    QVERIFY(held >= 0);
    QCOMPARE(::flock(held, LOCK_EX | LOCK_NB), 0);
    platform::SingleInstance launch(id, runtime.path());
    QVERIFY(launch.claim());
    ::close(held);
}

void TestFreedesktop::beepPlaysTheSoundThemeBell()
{
    // The real beep, with the sound card replaced by a file: the desktop sound theme's
    // bell must come out as audio, not be dropped silently.
    QTemporaryDir home;
    const QString samples = home.filePath(u"beep.raw"_s);
    QFile config(home.filePath(u".asoundrc"_s));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(u"pcm.!default { type file slave.pcm \"null\" file \"%1\" format \"raw\" }\n"_s.arg(samples).toUtf8());
    config.close();
    // What the sound libraries keep for the session (configuration, the sound server's
    // runtime folder) goes into the scratch folder too, and with it when the test ends.
    const QString runtime = home.filePath(u"runtime"_s);
    QVERIFY(QDir().mkdir(runtime));
    QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ScopedEnvironment environment; // after home: put back before the folder goes
    environment.set("HOME", home.path());
    environment.set("XDG_CONFIG_HOME", home.filePath(u"config"_s));
    environment.set("XDG_RUNTIME_DIR", runtime);
    environment.set("CANBERRA_DRIVER", QByteArray("alsa"));
    // The sound library is loaded by the first bell (the only real one in this run), not
    // at start-up.
    QFile maps(u"/proc/self/maps"_s);
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("libcanberra"));
    platform::SystemBell(u"Quorvane"_s, u"io.github.quorvane.Quorvane"_s).ring();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(samples).size() > 4096, 5000);
    QFile audio(samples);
    QVERIFY(audio.open(QIODevice::ReadOnly));
    const QByteArray data = audio.readAll();
    QVERIFY(data.count('\0') < data.size()); // not silence
}

void TestFreedesktop::memoryGoesBackAfterAWindowAppearsOrGoesOrTheUserActs()
{
    // Not at once: the window's drawing is still to come when it appears.
    platform::MemoryRelease memory;
    QTimer *later = memory.findChild<QTimer *>();
    QVERIFY(later);
    QVERIFY(!later->isActive());
    QWidget window;
    window.show();
    QVERIFY(later->isActive());
    later->stop();
    QWidget control(&window);
    control.show(); // not a window
    QVERIFY(!later->isActive());
    window.hide();
    QVERIFY(later->isActive());
    later->stop();
    QTest::mousePress(&control, Qt::LeftButton);
    QVERIFY(!later->isActive()); // the click is still going on
    QTest::mouseRelease(&control, Qt::LeftButton);
    QVERIFY(later->isActive());
    later->stop();
    QTest::keyClick(&control, Qt::Key_A);
    QVERIFY(later->isActive());
}

void TestFreedesktop::textDrawsTheSameAfterTheMemoryRelease()
{
    // What the release gives back is only what nobody holds: the text already drawn draws
    // the same, and characters never drawn before still draw.
    const QImage before = drawn(u"喝水 远眺 厕所"_s, 24);
    platform::MemoryRelease::releaseNow();
    QCOMPARE(drawn(u"喝水 远眺 厕所"_s, 24), before);
    QVERIFY(drawn(u"我已知晓"_s, 31) != drawn(QString(), 31));
}

QUORVANE_TEST_CLASS(TestFreedesktop)
#include "tst_freedesktop.moc"
