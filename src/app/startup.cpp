#include "app/startup.h"

#include "platform/appid.h"
#include "platform/displaychoice.h"
#include "runtime/panelcachestyle.h"

#include <QDir>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QResource>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

namespace app {
namespace {

// While the application object is being created, Qt's messages are held back: if no
// platform can be opened, Qt would print several lines and abort; instead the program
// says so in one line and exits with a failure status.
void quietDuringStartup(QtMsgType type, const QMessageLogContext &, const QString &)
{
    if (type == QtFatalMsg) {
        std::fputs("quorvane: 无法打开图形界面显示（no display could be opened; is DISPLAY or WAYLAND_DISPLAY set?）\n",
                   stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
}

} // namespace

QIcon programIcon()
{
    // The program file carries the same drawing as assets/quorvane.ico. Only the sizes a
    // window and a tray icon are drawn at: the X11 platform hands every size an icon has
    // to the X server, for each window, and keeps a copy here.
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48})
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/quorvane.png").arg(size), QSize(size, size));
    return icon;
}

bool loadQtTranslation(const QString &folder)
{
    // The whole interface is Chinese, so Qt's part of it is too, under any LANG.
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), folder))
        return false;
    QCoreApplication::installTranslator(translator.release());
    return true;
}

bool registerProgramFonts()
{
    // Windows: none; 宋体 and the rest are the system's own.
    const QStringList faces = QDir(QStringLiteral(":/fonts")).entryList({QStringLiteral("*.otf")}, QDir::Files);
    bool registered = !faces.isEmpty();
    for (const QString &name : faces) {
        const QResource face(QStringLiteral(":/fonts/") + name);
        // Stored uncompressed, a face is read where it lies in the program file, not copied.
        const QByteArray data =
            face.compressionAlgorithm() == QResource::NoCompression
                ? QByteArray::fromRawData(reinterpret_cast<const char *>(face.data()), qsizetype(face.size()))
                : face.uncompressedData();
        registered = QFontDatabase::addApplicationFontFromData(data) >= 0 && registered;
    }
    return registered;
}

void setUpApplication()
{
    registerProgramFonts();
    QApplication::setStyle(new runtime::PanelCacheStyle);
    loadQtTranslation(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    QApplication::setApplicationName(QString::fromUtf16(kProductName));
    QApplication::setDesktopFileName(QString::fromUtf16(platform::kAppId));
    QApplication::setWindowIcon(programIcon());
    // The main window's own close handler ends the program; hidden windows never do.
    QApplication::setQuitOnLastWindowClosed(false);
}

std::unique_ptr<QApplication> createApplication(int &argc, char **argv)
{
    platform::DisplayChoice::prepare();
    const QtMessageHandler previous = qInstallMessageHandler(quietDuringStartup);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    setUpApplication();
    return app;
}

runtime::Hooks desktopHooks()
{
    return runtime::desktopHooks(QString::fromUtf16(kProductName), QString::fromUtf16(platform::kAppId));
}

} // namespace app
