// The Windows side of the platform layer: where the times are kept and where the times of
// earlier versions are found, the Run key, the one instance per user and the bell.
#include "app/mainform.h"
#include "platform/autostart.h"
#include "platform/donotdisturb.h"
#include "platform/filelocations.h"
#include "platform/singleinstance.h"
#include "platform/systembell.h"
#include "testmain.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <windows.h>

#include <shellapi.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

QStringList boxTexts(MainForm &form)
{
    QStringList texts;
    for (const char *name : {"h", "m", "s", "h2", "m2", "s2", "h3", "m3", "s3"})
        texts << box(&form, name)->text();
    return texts;
}

/// Points this program's import of a system function at a stand-in while it lives.
class ImportHook
{
public:
    ImportHook(const wchar_t *module, const char *function, ULONG_PTR standIn)
    {
        auto *base = reinterpret_cast<BYTE *>(GetModuleHandleW(nullptr));
        auto *dos = reinterpret_cast<IMAGE_DOS_HEADER *>(base);
        auto *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY &imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        const FARPROC real = GetProcAddress(GetModuleHandleW(module), function);
        for (auto *d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress); d->Name; ++d) {
            for (auto *t = reinterpret_cast<IMAGE_THUNK_DATA *>(base + d->FirstThunk); t->u1.Function; ++t) {
                if (real && reinterpret_cast<FARPROC>(t->u1.Function) == real)
                    m_slot = reinterpret_cast<ULONG_PTR *>(&t->u1.Function);
            }
        }
        if (m_slot)
            m_real = exchange(standIn);
    }
    ~ImportHook()
    {
        if (m_slot)
            exchange(m_real);
    }
    bool hooked() const { return m_slot != nullptr; }

private:
    ULONG_PTR exchange(ULONG_PTR to)
    {
        DWORD was = 0;
        VirtualProtect(m_slot, sizeof *m_slot, PAGE_READWRITE, &was);
        const ULONG_PTR before = *m_slot;
        *m_slot = to;
        VirtualProtect(m_slot, sizeof *m_slot, was, &was);
        return before;
    }

    ULONG_PTR *m_slot = nullptr;
    ULONG_PTR m_real = 0;
};

/// Counts the calls this program makes to user32's MessageBeep while it lives, and the
/// sound each asks for.
class BeepCounter
{
public:
    BeepCounter() { s_types.clear(); }
    bool hooked() const { return m_hook.hooked(); }
    static QList<UINT> types() { return s_types; }

private:
    static BOOL WINAPI counted(UINT type)
    {
        s_types.append(type);
        return TRUE;
    }

    ImportHook m_hook{L"user32.dll", "MessageBeep", reinterpret_cast<ULONG_PTR>(&counted)};
    static inline QList<UINT> s_types;
};

/// Answers for shell32's SHQueryUserNotificationState while it lives, as the test says.
class NotificationState
{
public:
    NotificationState() { s_state = QUNS_ACCEPTS_NOTIFICATIONS; }
    bool hooked() const { return m_hook.hooked(); }
    static void set(QUERY_USER_NOTIFICATION_STATE state) { s_state = state; }

private:
    static HRESULT WINAPI answer(QUERY_USER_NOTIFICATION_STATE *state)
    {
        *state = s_state;
        return S_OK;
    }

    ImportHook m_hook{L"shell32.dll", "SHQueryUserNotificationState", reinterpret_cast<ULONG_PTR>(&answer)};
    static inline QUERY_USER_NOTIFICATION_STATE s_state = QUNS_ACCEPTS_NOTIFICATIONS;
};

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(!QApplication::activeModalWidget()); }
    void filesLiveInTheRoamingFolder();
    void earlierTimesAreReadUntilTheFirstSave_data();
    void earlierTimesAreReadUntilTheFirstSave();
    void runKeyStartsTheProgramAtLogin();
    void oneInstancePerUser();
    void aClaimLeftByAKilledInstanceIsTakenOver();
    void bellIsTheSystemSound();
    void presentingAsWindowsTellsIt_data();
    void presentingAsWindowsTellsIt();
};

void TestWindows::filesLiveInTheRoamingFolder()
{
    QTemporaryDir roaming, local;
    ScopedEnvironment environment;
    environment.set("APPDATA", QDir::toNativeSeparators(roaming.path()));
    environment.set("LOCALAPPDATA", QDir::toNativeSeparators(local.path()));
    QCOMPARE(platform::FileLocations::settingsFile(), roaming.path() + u"/Quorvane.txt"_s);
    QCOMPARE(platform::FileLocations::optionsFile(), roaming.path() + u"/Quorvane/Quorvane.conf"_s);
    QCOMPARE(platform::FileLocations::earlierSettingsFiles(),
             QStringList({u"C:/Quorvane.txt"_s, local.path() + u"/VirtualStore/Quorvane.txt"_s}));
    QCOMPARE(platform::Autostart::defaultPath(),
             u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"_s);
}

void TestWindows::earlierTimesAreReadUntilTheFirstSave_data()
{
    // Where the times of the earlier program lie: in the root of drive C:, or where
    // Windows redirected a 32-bit program's writes there. The root comes first.
    QTest::addColumn<QByteArray>("atRoot");
    QTest::addColumn<QByteArray>("inVirtualStore");
    QTest::addColumn<QStringList>("shown");
    const QByteArray a = "0,30,0,1,0,0,2,0,0\r\n", b = "0,20,0,0,40,0,0,0,50\r\n";
    QTest::newRow("root of C:") << a << QByteArray() << QStringList{"0", "30", "0", "1", "0", "0", "2", "0", "0"};
    QTest::newRow("VirtualStore") << QByteArray() << b << QStringList{"0", "20", "0", "0", "40", "0", "0", "0", "50"};
    QTest::newRow("both") << a << b << QStringList{"0", "30", "0", "1", "0", "0", "2", "0", "0"};
}

void TestWindows::earlierTimesAreReadUntilTheFirstSave()
{
    QFETCH(QByteArray, atRoot);
    QFETCH(QByteArray, inVirtualStore);
    QFETCH(QStringList, shown);
    SettingsFolder folder; // %APPDATA% and %LOCALAPPDATA%, without Quorvane.txt yet
    const QString root = u"C:/Quorvane.txt"_s;
    const QString store = folder.path() + u"/VirtualStore/Quorvane.txt"_s;
    QVERIFY2(!QFile::exists(root), "C:\\Quorvane.txt is there before the test: remove it");
    struct Remove {
        QString path;
        ~Remove() { QFile::remove(path); }
    } removeRoot{root};
    if (!atRoot.isEmpty())
        QVERIFY(writeFile(root, atRoot));
    if (!inVirtualStore.isEmpty())
        QVERIFY(writeFile(store, inVirtualStore));

    FakeHooks fake;
    {
        MainForm form(fake.hooks);
        QVERIFY(fake.messages.isEmpty()); // no "未找到读档文件": the times were found
        QCOMPARE(boxTexts(form), shown);
        box(&form, "s3")->setText(u"7"_s);
        form.Command1_Click();
    }
    QVERIFY(fake.messages.isEmpty());
    QCOMPARE(contentOf(folder.file()), (QStringList(shown.mid(0, 8)) << u"7"_s).join(u',').toLatin1() + "\r\n");
    // The earlier files are read, never written or removed.
    QCOMPARE(contentOf(root), atRoot);
    QCOMPARE(contentOf(store), inVirtualStore);

    // Once the new file is there, it is the one read.
    MainForm again(fake.hooks);
    QCOMPARE(boxTexts(again).last(), u"7"_s);
}

void TestWindows::runKeyStartsTheProgramAtLogin()
{
    const QString key = u"HKEY_CURRENT_USER\\Software\\Quorvane tests\\Run"_s;
    struct Clear {
        ~Clear() { QSettings(u"HKEY_CURRENT_USER\\Software"_s, QSettings::NativeFormat).remove(u"Quorvane tests"_s); }
    } clear;
    const platform::Autostart autostart(u"C:/Program Files/Quorvane/quorvane.exe"_s, key);
    QVERIFY(!autostart.isEnabled());
    QVERIFY(autostart.enable());
    QVERIFY(autostart.isEnabled());
    // What Windows runs at login: the program's path in its own separators, quoted for
    // the blank in it, under the program's name.
    QSettings run(key, QSettings::NativeFormat);
    QCOMPARE(run.childKeys(), QStringList{u"Quorvane"_s});
    QCOMPARE(run.value(u"Quorvane"_s).toString(), u"\"C:\\Program Files\\Quorvane\\quorvane.exe\""_s);
    QVERIFY(autostart.disable());
    run.sync();
    QVERIFY(run.childKeys().isEmpty());
    QVERIFY(!autostart.isEnabled());
    QVERIFY(autostart.disable()); // nothing there: nothing to fail
}

void TestWindows::oneInstancePerUser()
{
    QTemporaryDir locks;
    const QString id = u"io.github.quorvane.Test"_s;
    auto first = std::make_unique<platform::SingleInstance>(id, locks.path());
    QVERIFY(first->claim());
    QSignalSpy activated(first.get(), &platform::SingleInstance::activated);

    platform::SingleInstance second(id, locks.path());
    QVERIFY(!second.claim()); // the later launch knocks and ends
    QTRY_COMPARE(activated.size(), 1);

    // The claim goes with the instance, however it ends.
    first.reset();
    platform::SingleInstance third(id, locks.path());
    QVERIFY(third.claim());
}

void TestWindows::aClaimLeftByAKilledInstanceIsTakenOver()
{
    // An instance ended by force leaves its lock file behind, and the process ID in it can
    // be that of the next launch itself: nobody answers that launch's knock, and it must run.
    QTemporaryDir locks;
    const QString id = u"io.github.quorvane.Test"_s;
    QFile left(locks.filePath(id + u".lock"_s));
    QVERIFY(left.open(QIODevice::WriteOnly));
    left.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n'
               + QCoreApplication::applicationName().toUtf8() + '\n' + QSysInfo::machineHostName().toUtf8() + '\n');
    left.close();

    auto first = std::make_unique<platform::SingleInstance>(id, locks.path());
    QVERIFY(first->claim());
    QSignalSpy activated(first.get(), &platform::SingleInstance::activated);
    // It is the instance now, not merely a process running beside the claim.
    platform::SingleInstance second(id, locks.path());
    QVERIFY(!second.claim());
    QTRY_COMPARE(activated.size(), 1);
}

void TestWindows::bellIsTheSystemSound()
{
    BeepCounter counter;
    QVERIFY2(counter.hooked(), "the program does not import MessageBeep");
    platform::SystemBell bell(u"Quorvane"_s, u"io.github.quorvane.Quorvane"_s);
    bell.ring();
    bell.ring();
    // The user's default sound, twice: his sound scheme decides whether it is heard.
    QCOMPARE(BeepCounter::types(), QList<UINT>({MB_OK, MB_OK}));
}

void TestWindows::presentingAsWindowsTellsIt_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("on");
    QTest::newRow("busy: a full-screen program") << int(QUNS_BUSY) << true;
    QTest::newRow("full-screen Direct3D") << int(QUNS_RUNNING_D3D_FULL_SCREEN) << true;
    QTest::newRow("presentation mode") << int(QUNS_PRESENTATION_MODE) << true;
    QTest::newRow("locked or screen saver") << int(QUNS_NOT_PRESENT) << false;
    QTest::newRow("quiet first hour") << int(QUNS_QUIET_TIME) << false;
}

void TestWindows::presentingAsWindowsTellsIt()
{
    QFETCH(int, state);
    QFETCH(bool, on);
    // Wine answers "accepts notifications" whatever happens: the test answers instead.
    NotificationState windows;
    QVERIFY2(windows.hooked(), "the program does not import SHQueryUserNotificationState");
    platform::DoNotDisturb dnd;
    QSignalSpy changed(&dnd, &platform::DoNotDisturb::changed);
    QVERIFY(!dnd.isOn());
    NotificationState::set(QUERY_USER_NOTIFICATION_STATE(state));
    QCOMPARE(dnd.isOn(), on); // asked at once

    // Windows announces nothing: while started, it is asked every few seconds (here the
    // look is made at once) and a change is told.
    NotificationState::set(QUNS_ACCEPTS_NOTIFICATIONS);
    dnd.start();
    auto *look = dnd.findChild<QTimer *>();
    QVERIFY(look && look->isActive());
    NotificationState::set(QUERY_USER_NOTIFICATION_STATE(state));
    QMetaObject::invokeMethod(look, "timeout");
    QCOMPARE(changed.count(), on ? 1 : 0);
    NotificationState::set(QUNS_ACCEPTS_NOTIFICATIONS);
    QMetaObject::invokeMethod(look, "timeout");
    QCOMPARE(changed.count(), on ? 2 : 0);
    // Stopped, nothing wakes the program to ask.
    dnd.stop();
    QVERIFY(!look->isActive());
}

QUORVANE_TEST_CLASS(TestWindows)
#include "tst_windows.moc"
