// Runs every test class of an area's executable (see testmain.h), as QTEST_MAIN runs one.
#include "testmain.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace testsupport {
namespace {

struct TestClass {
    const char *name; ///< for the debugger; Qt Test names the class from its meta-object
    std::function<QObject *()> make;
};

std::vector<TestClass> &testClasses()
{
    static std::vector<TestClass> classes;
    return classes;
}

/// Qt Test's options that take a value in the next argument.
bool takesValue(const QString &option)
{
    static const QStringList withValue{QStringLiteral("-o"),
                                       QStringLiteral("-eventdelay"),
                                       QStringLiteral("-keydelay"),
                                       QStringLiteral("-mousedelay"),
                                       QStringLiteral("-maxwarnings"),
                                       QStringLiteral("-perfcounter"),
                                       QStringLiteral("-minimumvalue"),
                                       QStringLiteral("-minimumtotal"),
                                       QStringLiteral("-iterations"),
                                       QStringLiteral("-median")};
    return withValue.contains(option);
}

/// Whether a test function named on the command line ("name", "name:tag") is one of test's.
bool hasFunction(const QObject *test, const QString &argument)
{
    const QString name = argument.section(QLatin1Char(':'), 0, 0) + QStringLiteral("()");
    return test->metaObject()->indexOfMethod(name.toLatin1().constData()) >= 0;
}

} // namespace

int addTestClass(const char *name, std::function<QObject *()> make)
{
    testClasses().push_back({name, std::move(make)});
    return int(testClasses().size());
}

} // namespace testsupport

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true); // as QTEST_MAIN does
    QTEST_SET_MAIN_SOURCE_PATH

    // Split the arguments the application left into options and test functions.
    const QStringList arguments = QApplication::arguments();
    QStringList options{arguments.value(0)}, functions;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (!a.startsWith(QLatin1Char('-'))) {
            functions << a;
            continue;
        }
        options << a;
        if (testsupport::takesValue(a) && i + 1 < arguments.size())
            options << arguments.at(++i);
    }

    int failed = 0;
    QStringList unknown = functions;
    for (const testsupport::TestClass &c : testsupport::testClasses()) {
        const std::unique_ptr<QObject> test(c.make());
        QStringList own;
        for (const QString &f : functions) {
            if (testsupport::hasFunction(test.get(), f))
                own << f;
        }
        if (!functions.isEmpty() && own.isEmpty())
            continue;
        for (const QString &f : own)
            unknown.removeAll(f);
        failed += QTest::qExec(test.get(), options + own);
    }
    for (const QString &f : unknown) {
        std::fprintf(stderr, "Unknown test function: '%s'\n", qPrintable(f));
        ++failed;
    }
    return std::min(failed, 127);
}
