// Saves that fail half way on a POSIX system: a full disk, no free file descriptor, a
// folder closed to writing, something in the way of the file or its folder. Each leaves
// the earlier file as it was and says so once.
#include "app/mainform.h"
#include "testmain.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <functional>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace testsupport;

namespace {

/// Lowers one of this process's resource limits while it lives.
class ScopedLimit
{
public:
    using Resource = decltype(RLIMIT_NOFILE);
    ScopedLimit(Resource resource, rlim_t value)
        : m_resource(resource)
    {
        getrlimit(resource, &m_before);
        rlimit lowered = m_before;
        lowered.rlim_cur = std::min(value, m_before.rlim_max);
        setrlimit(resource, &lowered);
    }
    ScopedLimit(const ScopedLimit &) = delete;
    ScopedLimit &operator=(const ScopedLimit &) = delete;
    ~ScopedLimit() { setrlimit(m_resource, &m_before); }

private:
    Resource m_resource;
    rlimit m_before{};
};

/// Runs an action when it goes, or earlier through now(); once.
class Undo
{
public:
    explicit Undo(std::function<void()> action = {})
        : m_action(std::move(action))
    { }
    Undo &operator=(Undo &&other) noexcept
    {
        now();
        m_action = std::exchange(other.m_action, {});
        return *this;
    }
    ~Undo() { now(); }
    void now()
    {
        if (m_action)
            std::exchange(m_action, {})();
    }

private:
    std::function<void()> m_action;
};
void setBoxes(MainForm &form, const QString &text)
{
    for (const char *name : {"h", "m", "s", "h2", "m2", "s2", "h3", "m3", "s3"})
        box(&form, name)->setText(text);
}

} // namespace

class TestSaveFailures : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QTRY_VERIFY(!QApplication::activeModalWidget()); }
    void failedSaveKeepsEarlierFile_data();
    void failedSaveKeepsEarlierFile();
};

void TestSaveFailures::failedSaveKeepsEarlierFile_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<bool>("earlierFile"); // whether the save was to replace a file
    QTest::newRow("disk fills up during the write") << "disk full" << true;
    QTest::newRow("no file can be opened") << "descriptors" << true;
    QTest::newRow("folder closed to writing") << "read-only folder" << true;
    QTest::newRow("settings path is a folder") << "folder" << false;
    QTest::newRow("configuration folder is a file") << "file" << false;
}

void TestSaveFailures::failedSaveKeepsEarlierFile()
{
    QFETCH(QString, obstacle);
    QFETCH(bool, earlierFile);
    const QByteArray earlier("1,2,3,4,5,6,7,8,9\r\n");
    FakeHooks fake;
    SettingsFolder folder;
    folder.write(earlier);
    MainForm form(fake.hooks);
    setBoxes(form, QStringLiteral("0"));
    const QString blocker = folder.path() + QStringLiteral("/blocker");

    // Each obstacle is taken away again by its undo, also when the test stops early; a
    // lowered limit holds for the save only.
    std::optional<std::pair<ScopedLimit::Resource, rlim_t>> lowered;
    std::optional<ScopedLimit> limit;
    std::optional<ScopedEnvironment> environment;
    Undo undo;
    if (obstacle == QLatin1String("disk full")) {
        // A file size limit fails the write after a few bytes (EFBIG), as a full disk
        // does (ENOSPC); the signal it also raises would end the test.
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        undo = Undo([previous] { std::signal(SIGXFSZ, previous); });
        lowered = {RLIMIT_FSIZE, 8};
    } else if (obstacle == QLatin1String("descriptors")) {
        // No new file can be opened, whoever runs the test (root ignores permissions).
        const int lowestFree = ::open("/dev/null", O_RDONLY);
        QVERIFY(lowestFree >= 0);
        ::close(lowestFree);
        lowered = {RLIMIT_NOFILE, rlim_t(lowestFree)};
    } else if (obstacle == QLatin1String("read-only folder")) {
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
        undo =
            Undo([&] { QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
        if (QFile probe(folder.path() + QStringLiteral("/probe")); probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QSKIP("this user may write into a folder closed to writing (root)");
        }
    } else if (obstacle == QLatin1String("folder")) {
        QVERIFY(QFile::remove(folder.file()));
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Quorvane.txt")));
        undo = Undo([&] { QDir(folder.path()).rmdir(QStringLiteral("Quorvane.txt")); });
    } else {
        // The configuration folder itself cannot be made: a file stands where it should be.
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        environment.emplace();
        environment->set("XDG_CONFIG_HOME", blocker + QStringLiteral("/config"));
    }
    const QStringList entries = QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (lowered)
        limit.emplace(lowered->first, lowered->second);
    form.Command1_Click();
    limit.reset();

    // What was there before the save is there after it, byte for byte, and nothing else:
    // no half-written file, no temporary file.
    if (earlierFile) {
        // Qt 6.4's QSaveFile::commit() misses a write that fails in its closing flush; the
        // writer must find it before the rename.
        QCOMPARE(folder.read(), earlier);
    } else if (obstacle == QLatin1String("folder")) {
        QVERIFY(QFileInfo(folder.file()).isDir());
        QVERIFY(QDir(folder.file()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    } else {
        QVERIFY(QFileInfo(blocker).isFile());
        QCOMPARE(QFileInfo(blocker).size(), 0);
        QCOMPARE(folder.read(), earlier);
    }
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), entries);
    QCOMPARE(fake.messages.size(), 1);
    QCOMPARE(fake.messages[0].title, QStringLiteral("出错"));
    QCOMPARE(fake.messages[0].icon, QMessageBox::Warning);
    QVERIFY(fake.messages[0].text.contains(QStringLiteral("保存失败")));

    // The program carries on: with the obstacle gone, the next save writes the file.
    undo.now();
    environment.reset();
    form.Command1_Click();
    QCOMPARE(fake.messages.size(), 1);
    QCOMPARE(folder.read(), QByteArray("0,0,0,0,0,0,0,0,0\r\n"));
}

QUORVANE_TEST_CLASS(TestSaveFailures)
#include "tst_savefailures.moc"
