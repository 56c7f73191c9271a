// What a new user meets: Chinese buttons and menus under any locale, errors that say why,
// hand-edited settings files, a reminder at every alert, leftovers of killed saves, and
// saves on a full disk and a failing one. Some cases rerun themselves in a process of
// their own: under another locale, in a private mount namespace, with a failing disk.
#include "alerts/reminderwindow.h"
#include "settings/settingsfile.h"
#include "settings/settingsstore.h"
#include "testsupport.h"

#include <QDir>
#include <QLibraryInfo>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <fcntl.h>
#include <linux/audit.h>
#include <linux/capability.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

const QByteArray kEarlier = "1,2,3,4,5,6,7,8,9\r\n";
const settings::SavedIntervals::Values kZeros{};

/// No English of Qt or the system slipped in: no Latin letter once the path is out.
bool chineseApartFrom(QString text, const QString &path)
{
    text.remove(path);
    return !text.contains(QRegularExpression(u"[A-Za-z]"_s));
}

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList othersIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.removeAll(u"Quorvane.txt"_s);
    names.sort();
    return names;
}

bool inChild()
{
    return qEnvironmentVariableIsSet("QUORVANE_CHILD");
}

/// Runs the current case (and row) again in a new process, after the command wrapper.
QProcess *rerun(QStringList wrapper, QProcessEnvironment env)
{
    env.insert(u"QUORVANE_CHILD"_s, u"1"_s);
    QString name = QLatin1String(QTest::currentTestFunction());
    if (QTest::currentDataTag())
        name += u':' + QLatin1String(QTest::currentDataTag());
    wrapper << QCoreApplication::applicationFilePath() << name;
    auto *child = new QProcess(qApp);
    child->setProcessEnvironment(env);
    child->setProcessChannelMode(QProcess::MergedChannels);
    child->start(wrapper.takeFirst(), wrapper);
    child->waitForFinished(60000);
    return child;
}

#define PASSES_IN(run) \
    do { \
        QProcess *const child = (run); \
        const QString out = QString::fromLocal8Bit(child->readAll()); \
        if (out.startsWith("unshare:"_L1)) /* no private mount namespace here */ \
            QSKIP(qPrintable(out)); \
        if (out.contains(u"SKIP "_s)) \
            QSKIP(qPrintable(out.section(u"SKIP "_s, 1).section(u'\n', 0, 0))); \
        QVERIFY2(child->exitStatus() == QProcess::NormalExit && child->exitCode() == 0, qPrintable(out)); \
    } while (false)

/// Root reads and writes past any permission: while this lives, this thread does not.
struct AsUser {
    AsUser()
    {
        if (geteuid() != 0 || syscall(SYS_capget, &header, saved) != 0)
            return;
        __user_cap_data_struct less[2] = {saved[0], saved[1]};
        less[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        dropped = syscall(SYS_capset, &header, less) == 0;
    }
    ~AsUser()
    {
        if (dropped)
            syscall(SYS_capset, &header, saved);
    }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{};
    bool dropped = false;
};

/// From now on fsync and fdatasync of this thread fail with EIO, as on a disk that cannot
/// store what was written: a kernel filter on the system calls, the program unchanged.
bool failSyncs()
{
#if defined(__x86_64__)
    const __u32 arch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
    const __u32 arch = AUDIT_ARCH_AARCH64;
#else
    return false;
    const __u32 arch = 0;
#endif
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, arch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsync, 2, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fdatasync, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

} // namespace

class TestFirstUse : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(!QApplication::activeModalWidget()); }
    void chineseUnderAnyLocale_data();
    void chineseUnderAnyLocale();
    void errorsSayWhy_data();
    void errorsSayWhy();
    void handEditedFiles_data();
    void handEditedFiles();
    void brokenDiskKeepsEarlierFile_data();
    void brokenDiskKeepsEarlierFile();
    void leftoversStayWhileASaveRuns();
    void everyAlertReminds();
};

void TestFirstUse::chineseUnderAnyLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("C.UTF-8") << "C";
    QTest::newRow("en_US.UTF-8") << "en_US";
    QTest::newRow("zh_CN.UTF-8") << "zh_CN";
}

void TestFirstUse::chineseUnderAnyLocale()
{
    QFETCH(QString, locale);
    if (!inChild()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(u"LC_ALL"_s);
        env.insert(u"LANG"_s, QLatin1String(QTest::currentDataTag()));
        PASSES_IN(rerun({}, env));
        return;
    }
    QCOMPARE(QLocale::system().name(), locale);
    for (bool translated : {false, true}) { // before and after start-up loads Qt's translation
        if (translated)
            app::setUpApplication();
        QString caption;
        whenModal([&](QWidget *w) {
            caption = qobject_cast<QMessageBox *>(w)->buttons().constFirst()->text();
            w->close();
        });
        app::desktopHooks().MsgBox(nullptr, u"未找到读档文件"_s);
        QCOMPARE(caption, u"确定"_s);
    }
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + u"/qtbase_zh_CN.qm"_s))
        QSKIP("Qt's Chinese translation (qt6-translations-l10n) is not installed");
    Fixture p;
    check(p.form.get(), "Check1")->setChecked(true);
    QLineEdit *h = box(p.form.get(), "h");
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, {5, 5}, h->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(h, &rightClick);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    for (QAction *a : menu->actions()) // "撤销(&U)\tCtrl+Z": the key aside, no English
        QVERIFY2(chineseApartFrom(a->text().remove(QRegularExpression(u"\\(&.\\)|\t.*"_s)), {}), qPrintable(a->text()));
    menu->close();
}

void TestFirstUse::errorsSayWhy_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("reason");
    QTest::newRow("start-up, a folder") << "load folder" << u"无法打开读档文件：.*文件夹"_s;
    QTest::newRow("start-up, not readable") << "load unreadable" << u"无法打开读档文件：.*没有读取权限"_s;
    QTest::newRow("save, no permission") << "save read-only" << u"保存失败.*没有写入权限"_s;
    QTest::newRow("save, the path is a folder") << "save folder" << u"保存失败.*文件夹，不是文件"_s;
    QTest::newRow("save, the folder cannot be made") << "save blocked" << u"保存失败.*无法建立"_s;
}

void TestFirstUse::errorsSayWhy()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, reason);
    FakeHooks fake;
    SettingsFolder folder;
    folder.write(kEarlier);
    QString path = folder.file();
    if (obstacle.endsWith("folder"_L1)) {
        QVERIFY(QFile::remove(path) && QDir(folder.path()).mkdir(u"Quorvane.txt"_s));
    } else if (obstacle == "load unreadable"_L1) {
        QVERIFY(QFile::setPermissions(path, {}));
    } else if (obstacle == "save read-only"_L1) {
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
    } else { // a file stands where the configuration folder should be made
        qputenv("XDG_CONFIG_HOME", (path + u"/config"_s).toLocal8Bit());
        path += u"/config/Quorvane.txt"_s;
    }
    const settings::SettingsStore store(fake.hooks);
    settings::SavedIntervals::Values loaded = kZeros;
    bool saved = false;
    {
        AsUser asUser;
        if (obstacle.startsWith("load"_L1))
            loaded = store.LoadSettings(kZeros);
        else
            saved = store.SaveSettings(kZeros, nullptr);
    }
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(folder.file(), QFile::ReadOwner | QFile::WriteOwner);
    if (fake.messages.isEmpty() && geteuid() == 0)
        QSKIP("this process reads and writes past file permissions");
    QVERIFY(loaded == kZeros && !saved);
    QCOMPARE(fake.messages.size(), 1);
    QCOMPARE(fake.messages[0].title, u"出错"_s);
    const QString text = fake.messages[0].text.simplified();
    QVERIFY2(text.contains(QRegularExpression(reason)) && text.contains(path), qPrintable(text));
    QVERIFY2(chineseApartFrom(text, path), qPrintable(text));
    if (!obstacle.endsWith("folder"_L1))
        QCOMPARE(folder.read(), kEarlier);
    QCOMPARE(othersIn(folder.path()), QStringList());
}

void TestFirstUse::handEditedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("reported");
    QTest::newRow("empty fields count 0") << QByteArray("1,,0, ,20,0,0,0,45\r\n") << "1 0 0 0 20 0 0 0 45" << false;
    QTest::newRow("Ctrl-Z after the last field")
        << QByteArray("1,30,0,0,20,0,0,0,45\x1A junk") << "1 30 0 0 20 0 0 0 45" << false;
    // Nothing else becomes readable.
    QTest::newRow("empty last field") << QByteArray("1,30,0,0,20,0,0,0,\r\n") << "1 30 0 0 20 0 0 0 0" << true;
    QTest::newRow("empty first field") << QByteArray(",30,0,0,20,0,0,0,45") << "0 0 0 0 0 0 0 0 0" << true;
    QTest::newRow("Ctrl-Z before the last field")
        << QByteArray("1,30,0,0,20,0,0,0\x1A,45") << "1 30 0 0 20 0 0 0 0" << true;
}

void TestFirstUse::handEditedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, shown);
    QFETCH(bool, reported);
    Fixture p(content);
    QStringList texts;
    for (QLineEdit *b : p.form->timeBoxes())
        texts << b->text();
    QCOMPARE(texts.join(u' '), shown);
    QCOMPARE(p.fake.messages.size(), reported ? 1 : 0);
}

void TestFirstUse::brokenDiskKeepsEarlierFile_data()
{
    QTest::addColumn<QString>("reason");
    QTest::newRow("full disk") << u"磁盘空间已满"_s;
    QTest::newRow("input/output error") << u"读写时出错"_s;
}

void TestFirstUse::brokenDiskKeepsEarlierFile()
{
    QFETCH(QString, reason);
    const bool full = QTest::currentDataTag() == "full disk"_L1;
    if (!inChild()) {
        QStringList wrapper;
        QTemporaryDir mountPoint;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (full) { // a tiny tmpfs in a mount namespace of the child's own
            wrapper = QStringList{QStandardPaths::findExecutable(u"unshare"_s), u"-m"_s, u"--propagation=private"_s};
            if (geteuid() != 0 || wrapper[0].isEmpty())
                QSKIP("a full disk needs root (as in CI) and unshare (util-linux) to mount a tmpfs");
            env.insert(u"XDG_CONFIG_HOME"_s, mountPoint.path());
        }
        PASSES_IN(rerun(wrapper, env));
        return;
    }
    QTemporaryDir scratch;
    const QString config = full ? qEnvironmentVariable("XDG_CONFIG_HOME") : scratch.path();
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    if (full && mount("quorvane", QFile::encodeName(config), "tmpfs", 0, "size=16k") != 0)
        QSKIP(qPrintable(u"no tmpfs could be mounted: "_s + qt_error_string()));
    const QString file = config + u"/Quorvane.txt"_s;
    QFile earlier(file), fill(config + u"/filler"_s);
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write(kEarlier) && earlier.flush());
    QVERIFY(fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (full && fill.write(QByteArray(4096, 'x')) > 0) { // all the room left
    }
    FakeHooks fake;
    MainForm form(fake.hooks);
    for (QLineEdit *b : form.timeBoxes())
        b->setText(u"0"_s);
    const auto recorder = fake.hooks.message;
    fake.hooks.message = app::desktopHooks().message; // the real box
    if (!full && !failSyncs())
        QSKIP("system call filters (seccomp) are not available here");
    QString text, title, caption;
    whenModal([&](QWidget *w) {
        text = qobject_cast<QMessageBox *>(w)->text();
        title = w->windowTitle();
        caption = qobject_cast<QMessageBox *>(w)->buttons().constFirst()->text();
        w->close();
    });
    form.Command1_Click();
    QVERIFY2(text.contains(u"保存失败"_s) && text.contains(reason) && text.contains(file), qPrintable(text));
    QVERIFY(chineseApartFrom(text, file) && title == u"出错"_s && caption == u"确定"_s);
    QCOMPARE(contentOf(file), kEarlier);
    QCOMPARE(othersIn(config), QStringList{u"filler"_s});
    if (full) { // the program goes on: with room again, the same click saves
        QVERIFY(fill.remove());
        fake.hooks.message = recorder;
        form.Command1_Click();
        QCOMPARE(fake.messages.size(), 0);
        QCOMPARE(contentOf(file), QByteArray("0,0,0,0,0,0,0,0,0\r\n"));
        QCOMPARE(othersIn(config), QStringList());
    }
}

void TestFirstUse::leftoversStayWhileASaveRuns()
{
    SettingsFolder folder;
    folder.write(kEarlier);
    // What a killed save leaves, a cut line; and a file of the user's own.
    const QString leftover = folder.file() + u".aBc123"_s, notes = folder.file() + u".backup"_s;
    for (const QString &name : {leftover, notes}) {
        QFile f(name);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(name == notes ? "my notes" : "0,30,0,1"));
    }
    const int fd = open(QFile::encodeName(folder.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    QVERIFY(fd >= 0 && flock(fd, LOCK_SH) == 0); // as the save of another instance holds it
    FakeHooks fake;
    {
        MainForm whileSaving(fake.hooks);
    }
    QVERIFY(QFile::exists(leftover));
    close(fd);
    MainForm form(fake.hooks);
    QVERIFY(!QFile::exists(leftover));
    QVERIFY(QFile::exists(notes));
    QCOMPARE(folder.read(), kEarlier);
}

void TestFirstUse::everyAlertReminds()
{
    Fixture p("0,0,0,0,0,0,0,0,0\r\n", true);
    p.form->Command2_Click(); // sound on
    // Messages k = floor(r * N) for N = 7, 5, 3 and r = 0.5, 0.9, 0.1; a fourth alert with the sound off.
    const int drawn[3][3] = {{3, 6, 0}, {2, 4, 0}, {1, 2, 0}};
    for (int slot = 0; slot < 3; ++slot) {
        QWidget *first = nullptr;
        for (int i = 0; i < 4; ++i) {
            if (i == 3)
                p.form->Label8_DblClick();
            p.fake.r = std::array{0.5, 0.9, 0.1, 0.5}[size_t(i)];
            QWidget *window = nullptr;
            QString message;
            bool beeping = false;
            slotControls(p.form.get(), slot).check->setChecked(true);
            whenModal([&](QWidget *w) {
                window = w;
                message = label(w, alerts::ReminderWindow::messageLabelName(alerts::Slot(slot)))->text();
                beeping = timer(p.form.get(), "Timer4")->Enabled();
                button(w, "Command1")->click();
            });
            tickSlot(*p.form, slot);
            first = first ? first : window;
            QVERIFY(window && window == first); // created once, shown again
            QCOMPARE(message, alerts::ReminderWindow::messages(alerts::Slot(slot)).at(drawn[slot][i % 3]));
            QCOMPARE(beeping, i < 3);
        }
        p.form->Command2_Click();
    }
}

QTEST_MAIN(TestFirstUse)
#include "tst_firstuse.moc"
