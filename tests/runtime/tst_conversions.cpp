#include "runtime/conversions.h"
#include "testmain.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestConversions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void strictToNumber_data();
    void strictToNumber();
    void strictUsesLocaleSeparators();
    void leadingNumber_data();
    void leadingNumber();
    void leadingNumberOutOfRange();
    void wholeToText();
    void doubleToText_data();
    void doubleToText();
    void doubleToTextReadsBack();
};

void TestConversions::strictToNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blanks only") << "   " << false << 0.0;
    QTest::newRow("zero") << "0" << true << 0.0;
    QTest::newRow("00") << "00" << true << 0.0;
    QTest::newRow("007") << "007" << true << 7.0;
    QTest::newRow("15 digits") << "123456789012345" << true << 123456789012345.0;
    QTest::newRow("16 digits") << "1234567890123456" << true << 1234567890123456.0;
    QTest::newRow("20 digits") << "12345678901234567890" << true << 12345678901234567890.0;
    QTest::newRow("blanks around") << "  12 " << true << 12.0;
    QTest::newRow("minus") << "-3" << true << -3.0;
    QTest::newRow("plus") << "+4" << true << 4.0;
    QTest::newRow("fraction") << "1.5" << true << 1.5;
    QTest::newRow("exponent E") << "1E3" << true << 1000.0;
    QTest::newRow("exponent D") << "2d2" << true << 200.0;
    QTest::newRow("group separator") << "1,000" << true << 1000.0;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("trailing letters") << "12abc" << false << 0.0;
    QTest::newRow("two numbers") << "1 2" << false << 0.0;
    QTest::newRow("lone point") << "." << false << 0.0;
    QTest::newRow("lone sign") << "-" << false << 0.0;
    QTest::newRow("exponent without digits") << "1e" << false << 0.0;
    QTest::newRow("overflow") << "1e400" << false << 0.0;
    QTest::newRow("400 digits") << QString(400, QLatin1Char('9')) << false << 0.0;
    QTest::newRow("full-width digits") << "１２" << false << 0.0;
    QTest::newRow("nan") << "nan" << false << 0.0;
    QTest::newRow("inf") << "inf" << false << 0.0;
}

void TestConversions::strictToNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    const std::optional<double> got = runtime::strictToNumber(text, QLocale::c());
    QCOMPARE(got.has_value(), ok);
    if (ok)
        QCOMPARE(*got, value);
}

void TestConversions::strictUsesLocaleSeparators()
{
    const QLocale german(QLocale::German, QLocale::Germany);
    QCOMPARE(runtime::strictToNumber(u"1,5", german).value_or(-1), 1.5);
    QCOMPARE(runtime::strictToNumber(u"1.000", german).value_or(-1), 1000.0);
}

void TestConversions::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("007") << "007" << 7.0;
    QTest::newRow("blank inside") << "1 2" << 12.0;
    QTest::newRow("tab and line feed inside") << "\t1\n2 3" << 123.0;
    QTest::newRow("trailing letters") << "12abc" << 12.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("fraction") << "1.9" << 1.9;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    QTest::newRow("negative") << "-3" << -3.0;
    QTest::newRow("plus") << "+8" << 8.0;
    QTest::newRow("sign after blanks") << "  - 5" << -5.0;
    QTest::newRow("point first") << "-.5" << -0.5;
    QTest::newRow("exponent E") << "1E3" << 1000.0;
    QTest::newRow("exponent D") << "2D2x" << 200.0;
    QTest::newRow("negative exponent") << "25e-1" << 2.5;
    QTest::newRow("exponent without digits") << "7e" << 7.0;
    QTest::newRow("comma is no decimal point") << "1,5" << 1.0;
    QTest::newRow("hexadecimal") << "&H1F" << 31.0;
    QTest::newRow("hexadecimal lower case") << "&hff zz" << 255.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("prefix without digits") << "&Hxyz" << 0.0;
    QTest::newRow("ampersand alone") << "&" << 0.0;
    QTest::newRow("full-width digits") << "１２" << 0.0;
    QTest::newRow("Chinese") << "十二" << 0.0;
}

void TestConversions::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(runtime::leadingNumber(text), value);
}

void TestConversions::leadingNumberOutOfRange()
{
    const double inf = std::numeric_limits<double>::infinity();
    QCOMPARE(runtime::leadingNumber(QString(400, QLatin1Char('9'))), inf);
    QCOMPARE(runtime::leadingNumber(QLatin1Char('-') + QString(400, QLatin1Char('9'))), -inf);
    QCOMPARE(runtime::leadingNumber(u"1e99999999999999999999999"), inf);
    QCOMPARE(runtime::leadingNumber(u"1e-400"), 0.0);
    QCOMPARE(runtime::leadingNumber(QStringLiteral("0.") + QString(400, QLatin1Char('0')) + QStringLiteral("1")), 0.0);
    QCOMPARE(runtime::leadingNumber(QStringLiteral("&H") + QString(400, QLatin1Char('F'))), inf);
}

void TestConversions::wholeToText()
{
    QCOMPARE(runtime::wholeToText(0), QStringLiteral("0"));
    QCOMPARE(runtime::wholeToText(59), QStringLiteral("59"));
    QCOMPARE(runtime::wholeToText(-1), QStringLiteral("-1"));
}

void TestConversions::doubleToText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("whole") << 23.0 << "23";
    QTest::newRow("above range") << 75.0 << "75";
    QTest::newRow("fraction") << 1.5 << "1.5";
    QTest::newRow("negative") << -2.0 << "-2";
    QTest::newRow("largest written out") << 999999999999999.0 << "999999999999999";
    QTest::newRow("most negative written out") << -999999999999999.0 << "-999999999999999";
    QTest::newRow("first in exponent form") << 1e15 << "1E+15";
    QTest::newRow("whole above 15 digits") << 1234567890123456.0 << "1.23456789012346E+15";
    QTest::newRow("just below a whole number") << 59.999999999999 << "59.999999999999";
    QTest::newRow("15 significant digits") << 0.1 + 0.2 << "0.3";
    QTest::newRow("large") << 1e20 << "1E+20";
    QTest::newRow("rounded to 15 digits") << 123456789012345678.0 << "1.23456789012346E+17";
    QTest::newRow("small") << 0.00001 << "1E-05";
}

void TestConversions::doubleToText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(runtime::doubleToText(value, QLocale::c()), text);
}

void TestConversions::doubleToTextReadsBack()
{
    // A value shown in a box must read back through the strict conversion, in any locale.
    for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
        for (double v : {1.5, 1e20, 0.00001, -2.25}) {
            const QString text = runtime::doubleToText(v, locale);
            QCOMPARE(runtime::strictToNumber(text, locale).value_or(-99), v);
        }
    }
    QCOMPARE(runtime::doubleToText(1.5, QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("1,5"));
}

QUORVANE_TEST_CLASS(TestConversions)
#include "tst_conversions.moc"
