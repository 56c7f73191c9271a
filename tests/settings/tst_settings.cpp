// The settings file: reading, writing, start-up from it and the save command.
#include "alerts/tipswindow.h"
#include "app/mainform.h"
#include "settings/savedintervals.h"
#include "settings/settingsfile.h"
#include "settings/settingsstore.h"
#include "testmain.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>

#include <optional>
#include <utility>

using namespace testsupport;
using Values = settings::SavedIntervals::Values;
Q_DECLARE_METATYPE(Values)

namespace {

const char *const kBoxes[9] = {"h", "m", "s", "h2", "m2", "s2", "h3", "m3", "s3"};

QStringList boxTexts(MainForm &form)
{
    QStringList texts;
    for (const char *name : kBoxes)
        texts << box(&form, name)->text();
    return texts;
}

void setBoxes(MainForm &form, const QStringList &texts)
{
    for (int k = 0; k < 9; ++k)
        box(&form, kBoxes[k])->setText(texts.at(k));
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(!QApplication::activeModalWidget()); }

    void parseAccepts_data();
    void parseAccepts();
    void parseStopsAtFirstBadField_data();
    void parseStopsAtFirstBadField();
    void formatWritesOneExactLine_data();
    void formatWritesOneExactLine();
    void writtenLineReadsBack();

    void startUpShowsSavedIntervals_data();
    void startUpShowsSavedIntervals();
    void missingFileIsReportedBeforeTheWindow();
    void unreadableFileKeepsWhatWasRead_data();
    void unreadableFileKeepsWhatWasRead();
    void noTimerRunsDuringStartUp();

    void saveWritesTheNineBoxes_data();
    void saveWritesTheNineBoxes();
    void saveReplacesALongerFile();
    void saveIsRefusedWhileCounting();
    void saveWorksAgainOnceTimersAreOff();
    void savedTimesComeBackAtNextStart();
};

void TestSettings::parseAccepts_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Values>("values");
    const Values typical{1, 30, 0, 0, 20, 0, 0, 0, 45};
    QTest::newRow("one line") << QByteArray("1,30,0,0,20,0,0,0,45\r\n") << typical;
    QTest::newRow("no line end") << QByteArray("1,30,0,0,20,0,0,0,45") << typical;
    QTest::newRow("LF only") << QByteArray("1,30,0,0,20,0,0,0,45\n") << typical;
    QTest::newRow("one per line") << QByteArray("1\r\n30\r\n0\r\n0\r\n20\r\n0\r\n0\r\n0\r\n45\r\n") << typical;
    QTest::newRow("blank after commas") << QByteArray("1, 30, 0, 0, 20, 0, 0, 0, 45\r\n") << typical;
    QTest::newRow("blanks and tabs around") << QByteArray("  1 ,\t30 ,0,0,20,0,0,0,45  \r\n") << typical;
    QTest::newRow("rest ignored") << QByteArray("1,30,0,0,20,0,0,0,45,99,junk\r\nmore") << typical;
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF"
                                                   "1,30,0,0,20,0,0,0,45\r\n")
                                     << typical;
    QTest::newRow("decimals and signs") << QByteArray("1.5,75,-2,0.25,+3,1e1,0,0,0\r\n")
                                        << Values{1.5, 75, -2, 0.25, 3, 10, 0, 0, 0};
}

void TestSettings::parseAccepts()
{
    QFETCH(QByteArray, content);
    QFETCH(Values, values);
    const settings::SettingsFile::ReadResult read = settings::SettingsFile::parse(content);
    QVERIFY(read.complete());
    QCOMPARE(read.values, values);
}

void TestSettings::parseStopsAtFirstBadField_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("fieldsRead");
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("blank lines") << QByteArray("\r\n \r\n") << 0;
    QTest::newRow("too few") << QByteArray("1,2,3\r\n") << 3;
    QTest::newRow("letters") << QByteArray("1,2,abc,4,5,6,7,8,9\r\n") << 2;
    QTest::newRow("trailing letters") << QByteArray("1,2x,3,4,5,6,7,8,9\r\n") << 1;
    QTest::newRow("empty last field") << QByteArray("1,2,3,4,5,6,7,8,\r\n") << 8;
    QTest::newRow("nan") << QByteArray("1,2,3,nan,5,6,7,8,9\r\n") << 3;
    QTest::newRow("inf") << QByteArray("inf,2,3,4,5,6,7,8,9\r\n") << 0;
    QTest::newRow("overflow") << QByteArray("1,2,3,4,1e999,6,7,8,9\r\n") << 4;
    QTest::newRow("400 digits") << QByteArray("1,2,3,4,5,6,7,") + QByteArray(400, '9') + ",9\r\n" << 7;
    QTest::newRow("binary junk") << QByteArray("\x00\xff\x01\x89PNG\r\n\x1a\n", 12) << 0;
    QTest::newRow("UTF-16") << QByteArray("\xff\xfe"
                                          "1\0,\0"
                                          "2\0",
                                          8)
                            << 0;
}

void TestSettings::parseStopsAtFirstBadField()
{
    QFETCH(QByteArray, content);
    QFETCH(int, fieldsRead);
    const settings::SettingsFile::ReadResult read = settings::SettingsFile::parse(content);
    QCOMPARE(read.fieldsRead, fieldsRead);
    QVERIFY(!read.complete());
    for (int k = fieldsRead; k < 9; ++k)
        QCOMPARE(read.values[size_t(k)], 0.0);
}

void TestSettings::formatWritesOneExactLine_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("recommended") << Values{0, 30, 0, 1, 0, 0, 2, 0, 0} << QByteArray("0,30,0,1,0,0,2,0,0\r\n");
    QTest::newRow("mixed") << Values{1, 5, 0, 0, 45, 30, 23, 59, 59} << QByteArray("1,5,0,0,45,30,23,59,59\r\n");
    QTest::newRow("all zero") << Values{} << QByteArray("0,0,0,0,0,0,0,0,0\r\n");
    QTest::newRow("fraction and large") << Values{1.5, 0.1, -2, 1000000, 75, -0.0, 0, 0, 0}
                                        << QByteArray("1.5,0.1,-2,1000000,75,0,0,0,0\r\n");
}

void TestSettings::formatWritesOneExactLine()
{
    QFETCH(Values, values);
    QFETCH(QByteArray, line);
    QCOMPARE(settings::SettingsFile::format(values), line);
}

void TestSettings::writtenLineReadsBack()
{
    const Values values{0.1, 1.0 / 3, 1e20, 123456.789, 59, 23, 1e-7, 2.5, 0};
    const settings::SettingsFile::ReadResult read =
        settings::SettingsFile::parse(settings::SettingsFile::format(values));
    QVERIFY(read.complete());
    QCOMPARE(read.values, values);
}

void TestSettings::startUpShowsSavedIntervals_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("typical") << QByteArray("1,30,0,0,20,0,0,0,45\r\n")
                             << QStringList{"1", "30", "0", "0", "20", "0", "0", "0", "45"};
    QTest::newRow("fraction and above range shown unchanged")
        << QByteArray("1.5,75,0,0,0,0,0,0,0\r\n") << QStringList{"1.5", "75", "0", "0", "0", "0", "0", "0", "0"};
}

void TestSettings::startUpShowsSavedIntervals()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, texts);
    FakeHooks fake;
    SettingsFolder folder;
    folder.write(content);
    MainForm form(fake.hooks);
    QVERIFY(fake.messages.isEmpty());
    QCOMPARE(boxTexts(form), texts);
    for (const char *name : kBoxes)
        QVERIFY(!box(&form, name)->isEnabled());
    for (const char *name : {"Check1", "Check2", "Check3"})
        QVERIFY(!check(&form, name)->isChecked());
    for (const char *name : {"Timer1", "Timer2", "Timer3", "Timer4"})
        QVERIFY(!timer(&form, name)->Enabled());
    QCOMPARE(box(&form, "Text1")->text(), QStringLiteral("关"));
    QCOMPARE(folder.read(), content); // reading never writes
}

void TestSettings::missingFileIsReportedBeforeTheWindow()
{
    SettingsFolder folder;
    SeenBox seen;
    bool windowShownMeanwhile = true;
    whenModal([&](QWidget *w) {
        const QWidget *main = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("Form1"))
                main = top;
        windowShownMeanwhile = main && main->isVisible();
        auto *box = qobject_cast<QMessageBox *>(w);
        seen.seen = box != nullptr;
        if (box) {
            seen.text = box->text();
            seen.title = box->windowTitle();
            seen.icon = box->icon();
            box->button(QMessageBox::Ok)->click();
        } else {
            w->hide();
        }
    });
    const runtime::Hooks hooks = app::desktopHooks();
    MainForm form(hooks); // the box is shown and answered while the window is being loaded
    QVERIFY(seen.seen);
    QCOMPARE(seen.text, QStringLiteral("未找到读档文件"));
    QCOMPARE(seen.title, QStringLiteral("Quorvane"));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QVERIFY(!windowShownMeanwhile);
    QCOMPARE(boxTexts(form), QStringList(9, QStringLiteral("0")));
    QVERIFY(!QFileInfo::exists(folder.file()));
}

void TestSettings::unreadableFileKeepsWhatWasRead_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("texts");
    const QStringList zeros(9, QStringLiteral("0"));
    QTest::newRow("empty") << QByteArray() << zeros;
    QTest::newRow("too few") << QByteArray("5,6\r\n") << QStringList{"5", "6", "0", "0", "0", "0", "0", "0", "0"};
    QTest::newRow("letters") << QByteArray("1,2,3,x,5,6,7,8,9")
                             << QStringList{"1", "2", "3", "0", "0", "0", "0", "0", "0"};
    QTest::newRow("nan") << QByteArray("nan,1,1,1,1,1,1,1,1") << zeros;
    QTest::newRow("inf") << QByteArray("1,inf,1,1,1,1,1,1,1")
                         << QStringList{"1", "0", "0", "0", "0", "0", "0", "0", "0"};
    QTest::newRow("400 digits") << QByteArray(400, '9') + ",1,1,1,1,1,1,1,1" << zeros;
    QTest::newRow("binary junk") << QByteArray("\x7f"
                                               "ELF\x02\x01\x01\x00\x00",
                                               9)
                                 << zeros;
}

void TestSettings::unreadableFileKeepsWhatWasRead()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, texts);
    FakeHooks fake;
    SettingsFolder folder;
    folder.write(content);
    MainForm form(fake.hooks);
    QCOMPARE(fake.messages.size(), 1);
    QCOMPARE(fake.messages[0].title, QStringLiteral("出错"));
    QVERIFY(fake.messages[0].text.contains(QStringLiteral("读档文件")));
    QCOMPARE(boxTexts(form), texts);
    QCOMPARE(folder.read(), content);
}

void TestSettings::noTimerRunsDuringStartUp()
{
    // While "未找到读档文件" is open, no timer of the window being loaded may be running.
    SettingsFolder folder;
    int timers = 0, running = -1;
    whenModal([&](QWidget *w) {
        running = 0;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("Form1"))
                for (runtime::Timer *t : top->findChildren<runtime::Timer *>()) {
                    ++timers;
                    running += t->isActive();
                }
        w->hide();
    });
    FakeHooks fake;
    fake.hooks.message = app::desktopHooks().message;
    MainForm form(fake.hooks);
    QCOMPARE(timers, 4);
    QCOMPARE(running, 0);
    QCOMPARE(fake.beeps, 0);
}

void TestSettings::saveWritesTheNineBoxes_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("recommended, 20 bytes")
        << QStringList{"0", "30", "0", "1", "0", "0", "2", "0", "0"} << QByteArray("0,30,0,1,0,0,2,0,0\r\n");
    QTest::newRow("24 bytes") << QStringList{"1", "5", "0", "0", "45", "30", "23", "59", "59"}
                              << QByteArray("1,5,0,0,45,30,23,59,59\r\n");
    QTest::newRow("all zero, 19 bytes") << QStringList(9, QStringLiteral("0")) << QByteArray("0,0,0,0,0,0,0,0,0\r\n");
    QTest::newRow("fraction from a hand-edited file")
        << QStringList{"1.5", "75", "0", "0", "0", "0", "0", "0", "0"} << QByteArray("1.5,75,0,0,0,0,0,0,0\r\n");
}

void TestSettings::saveWritesTheNineBoxes()
{
    QFETCH(QStringList, texts);
    QFETCH(QByteArray, line);
    FakeHooks fake;
    SettingsFolder folder;
    folder.write("9,9,9,9,9,9,9,9,9\r\n");
    MainForm form(fake.hooks);
    setBoxes(form, texts); // all nine are saved, ticked or not
    QTest::mouseClick(button(&form, "Command1"), Qt::LeftButton);
    QVERIFY(fake.messages.isEmpty());
    QCOMPARE(folder.read(), line);
    QCOMPARE(folder.read().size(), line.size());
}

void TestSettings::saveReplacesALongerFile()
{
    FakeHooks fake;
    SettingsFolder folder;
    folder.write("23,59,59,23,59,59,23,59,59\r\n# a note the user left\r\n");
    MainForm form(fake.hooks);
    setBoxes(form, QStringList(9, QStringLiteral("0")));
    form.Command1_Click();
    QCOMPARE(folder.read(), QByteArray("0,0,0,0,0,0,0,0,0\r\n"));
}

void TestSettings::saveIsRefusedWhileCounting()
{
    FakeHooks fake;
    fake.hooks.message = app::desktopHooks().message; // the real box
    SettingsFolder folder;
    folder.write("1,2,3,4,5,6,7,8,9\r\n");
    MainForm form(fake.hooks);
    timer(&form, "Timer2")->setEnabled(true);
    setBoxes(form, QStringList(9, QStringLiteral("0")));
    SeenBox seen;
    answerMessageBox(&seen);
    form.Command1_Click();
    QVERIFY(seen.seen);
    QCOMPARE(seen.text, QStringLiteral("正在计时中，无法进行保存"));
    QCOMPARE(seen.title, QStringLiteral("出错"));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(folder.read(), QByteArray("1,2,3,4,5,6,7,8,9\r\n"));
}

void TestSettings::saveWorksAgainOnceTimersAreOff()
{
    FakeHooks fake;
    SettingsFolder folder;
    folder.write("1,2,3,4,5,6,7,8,9\r\n");
    MainForm form(fake.hooks);
    timer(&form, "Timer3")->setEnabled(true);
    form.Command1_Click();
    QCOMPARE(fake.texts(), QStringList{QStringLiteral("正在计时中，无法进行保存")});
    timer(&form, "Timer3")->setEnabled(false);
    form.Command1_Click();
    QCOMPARE(fake.messages.size(), 1);
    QCOMPARE(folder.read(), QByteArray("1,2,3,4,5,6,7,8,9\r\n"));
}

void TestSettings::savedTimesComeBackAtNextStart()
{
    FakeHooks fake;
    SettingsFolder folder;
    folder.write("0,0,0,0,0,0,0,0,0\r\n");
    const QStringList texts{"2", "15", "30", "0", "45", "0", "1", "0", "5"};
    {
        MainForm form(fake.hooks);
        setBoxes(form, texts);
        form.Command1_Click();
    }
    MainForm again(fake.hooks);
    QCOMPARE(boxTexts(again), texts);
    QVERIFY(fake.messages.isEmpty());
}

QUORVANE_TEST_CLASS(TestSettings)
#include "tst_settings.moc"
