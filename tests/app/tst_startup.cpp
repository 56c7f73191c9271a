// Start-up and the end of the program: the application set up as the program sets it up,
// closing the main window, no display to open, and the program icon.
#include "app/mainform.h"
#include "app/startup.h"
#include "testmain.h"
#include "testsupport.h"

#include <QImageReader>
#include <QProcess>

using namespace testsupport;

namespace {

/// Notes whether the application was asked to end.
class QuitWatch : public QObject
{
public:
    QuitWatch() { qApp->installEventFilter(this); }
    ~QuitWatch() override { qApp->removeEventFilter(this); }
    bool asked = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == qApp && event->type() == QEvent::Quit)
            asked = true;
        return false;
    }
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(!QApplication::activeModalWidget()); }

    void closingTheMainWindowEndsTheProgram();
    void noDisplayGivesOneLineAndFailure();
    void programIcon();
    void iconFileImages();
};

void TestStartup::closingTheMainWindowEndsTheProgram()
{
    // Set up as the program sets itself up: the last visible window closing does not end
    // it by itself, so only the main window's own close can.
    app::setUpApplication();
    QVERIFY(!QApplication::quitOnLastWindowClosed());
    Fixture p("0,0,0,0,0,0,0,0,0\r\n", true);
    // Hidden windows must not keep the program alive: the tips window and a reminder,
    // each shown once and hidden again.
    whenModal([](QWidget *w) { button(w, "Command1")->click(); });
    p.form->Command3_Click();
    check(p.form.get(), "Check1")->setChecked(true);
    whenModal([](QWidget *w) { button(w, "Command1")->click(); });
    p.form->Timer1_Timer(); // 0/0/0: the tick opens the water reminder
    QVERIFY(window(p.form.get(), "Form5") && window(p.form.get(), "Form2"));

    QuitWatch quit;
    // Ends the run of the event loop should the close not have ended it; started from
    // within the close's turn of the loop, it fires only if the loop goes on.
    QTimer stillRunning;
    stillRunning.setSingleShot(true);
    connect(&stillRunning, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    bool closed = false;
    QTimer::singleShot(0, p.form.get(), [&] {
        closed = p.form->close();
        stillRunning.start(0);
    });
    const int status = QCoreApplication::exec();
    QVERIFY(closed);
    QVERIFY2(quit.asked, "closing the main window did not ask the program to end");
    QCOMPARE(status, 0); // 1: the event loop went on after the close
}

void TestStartup::noDisplayGivesOneLineAndFailure()
{
    if (QLatin1StringView(QUORVANE_DESKTOP) == QLatin1StringView("windows"))
        QSKIP("a Windows session always has its display");
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":9876"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(QUORVANE_BINARY), {});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY(program.exitCode() != 0);
    const QString err = QString::fromUtf8(program.readAllStandardError()).trimmed();
    QCOMPARE(err.count(QLatin1Char('\n')), 0);
    QVERIFY(err.contains(QStringLiteral("quorvane")));
}

void TestStartup::programIcon()
{
    app::setUpApplication();
    Fixture p;
    whenModal([](QWidget *w) { button(w, "Command1")->click(); });
    p.form->Command3_Click(); // the tips window, made at its first showing
    for (QWidget *w : {static_cast<QWidget *>(p.form.get()), window(p.form.get(), "Form5")}) {
        const QIcon icon = w->windowIcon();
        QVERIFY(!icon.isNull());
        QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
        QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    }
    // Each size a window or the tray is drawn at is the drawing made for it, and nothing
    // larger is offered (the X server keeps a copy of every size for each window); a size
    // in between is made from the next larger one; greyed out when disabled.
    const QIcon icon = app::programIcon();
    QCOMPARE(icon.availableSizes().size(), 5);
    for (int size : {16, 22, 24, 32, 48}) {
        const QImage drawn = QImage(QStringLiteral(":/icons/hicolor/%1x%1/apps/quorvane.png").arg(size))
                                 .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), drawn);
    }
    // Made from the 48 px drawing, not from a smaller one enlarged: far closer to the one
    // than to the other.
    const auto scaledFrom = [](int size) {
        return QImage(QStringLiteral(":/icons/hicolor/%1x%1/apps/quorvane.png").arg(size))
            .scaled(40, 40, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    const QImage at40 = icon.pixmap(40).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(at40.size(), QSize(40, 40));
    const auto distance = [&at40](const QImage &other) {
        qint64 sum = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const QRgb a = at40.pixel(x, y), b = other.pixel(x, y);
                sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b))
                       + std::abs(qAlpha(a) - qAlpha(b));
            }
        }
        return sum;
    };
    const qint64 to48 = distance(scaledFrom(48)), to32 = distance(scaledFrom(32));
    QVERIFY2(to48 * 3 < to32, qPrintable(QStringLiteral("%1 against %2").arg(to48).arg(to32)));
    QCOMPARE(icon.pixmap(512).size(), QSize(48, 48));
    QCOMPARE(icon.actualSize(QSize(512, 512)), QSize(48, 48));
    QVERIFY(icon.pixmap(32, QIcon::Disabled).toImage() != icon.pixmap(32).toImage());
}

void TestStartup::iconFileImages()
{
    const QString path = QStringLiteral(":/quorvane.ico");
    QImageReader reader(path);
    QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
    QCOMPARE(reader.imageCount(), 3);
    const QSize sizes[3] = {{32, 32}, {32, 32}, {16, 16}};
    for (int i = 0; i < 3; ++i) {
        QVERIFY(reader.jumpToImage(i));
        QCOMPARE(reader.read().size(), sizes[i]);
    }

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.size() >= 6 + 3 * 16);
    const int colours[3] = {2, 16, 16};
    const int bits[3] = {1, 4, 4};
    for (int i = 0; i < 3; ++i) {
        const int entry = 6 + 16 * i;
        QCOMPARE(int(quint8(bytes[entry + 2])), colours[i]);
        QCOMPARE(int(quint8(bytes[entry + 6])) | int(quint8(bytes[entry + 7])) << 8, bits[i]);
    }
}

QUORVANE_TEST_CLASS(TestStartup)
#include "tst_startup.moc"
