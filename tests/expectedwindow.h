// What a window of the program looks like to its user, as written down by hand in
// tests/ui/expected/<form>.txt (the format is described at the top of each file): the
// tests compare the windows as built with these files, and take the reminder messages
// and the tips texts from them, never from the definition tables they are built from.
#pragma once

#include <QColor>
#include <QFile>
#include <QList>
#include <QRect>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace testsupport {

/// A colour as a file gives it: not given, the platform's default, or R,G,B.
struct ExpectedColour {
    bool given = false;
    bool isDefault = false;
    QColor rgb;
};

struct ExpectedControl {
    QString name;
    QString kind;    ///< label, textbox, checkbox, button, line, image or timer
    QRect geometry;  ///< pixels, in the window's client area
    QPoint from, to; ///< a line's ends
    QString caption;
    bool defaultFont = true;
    QString family; ///< as written: 宋体
    double points = 0;
    bool bold = false;
    ExpectedColour fore, back; ///< text; opaque label background, text box background, button face
    bool transparent = false;  ///< a label that shows what lies beneath it
    int interval = 0;          ///< a timer's, in milliseconds
    QSize picture;             ///< an image's picture, at its own size
};

struct ExpectedWindow {
    QString name, title;
    QSize size;
    bool frameless = false;
    ExpectedColour background;
    QList<ExpectedControl> controls; ///< from the top of the stacking order down
    QStringList tabOrder;
    QString messageLabel;
    QStringList messages; ///< in list order
    QString error;        ///< why the file could not be read; empty when it was

    const ExpectedControl *control(const QString &controlName) const
    {
        for (const ExpectedControl &c : controls) {
            if (c.name == controlName)
                return &c;
        }
        return nullptr;
    }
};

namespace expected {

inline bool readColour(const QString &text, ExpectedColour *colour)
{
    colour->given = true;
    if (text == QLatin1String("default")) {
        colour->isDefault = true;
        return true;
    }
    const QStringList rgb = text.split(QLatin1Char(','));
    bool ok[3] = {};
    if (rgb.size() != 3)
        return false;
    colour->rgb = QColor(rgb[0].toInt(&ok[0]), rgb[1].toInt(&ok[1]), rgb[2].toInt(&ok[2]));
    return ok[0] && ok[1] && ok[2];
}

/// A quoted text with the escapes \r \n \" \\; false when it is not one.
inline bool readQuoted(const QString &field, QString *text)
{
    if (field.size() < 2 || !field.startsWith(QLatin1Char('"')) || !field.endsWith(QLatin1Char('"')))
        return false;
    text->clear();
    for (qsizetype i = 1; i < field.size() - 1; ++i) {
        QChar c = field.at(i);
        if (c == QLatin1Char('\\') && i + 1 < field.size() - 1) {
            const QChar e = field.at(++i);
            c = e == QLatin1Char('r') ? QChar(u'\r') : e == QLatin1Char('n') ? QChar(u'\n') : e;
        }
        *text += c;
    }
    return true;
}

inline QList<int> numbers(const QString &text)
{
    QList<int> list;
    for (const QString &n : text.split(QRegularExpression(QStringLiteral("[, ]")), Qt::SkipEmptyParts))
        list << n.toInt();
    return list;
}

inline bool readControl(const QStringList &f, ExpectedControl *c)
{
    if (f.size() != 6)
        return false;
    c->name = f[0];
    c->kind = f[1];
    const QList<int> g = numbers(f[2]);
    if (c->kind == QLatin1String("line")) {
        if (g.size() != 4)
            return false;
        c->from = QPoint(g[0], g[1]);
        c->to = QPoint(g[2], g[3]);
    } else if (c->kind != QLatin1String("timer")) {
        if (g.size() != 4)
            return false;
        c->geometry = QRect(g[0], g[1], g[2], g[3]);
    }
    if (f[3] != QLatin1String("-") && !readQuoted(f[3], &c->caption))
        return false;
    if (f[4] != QLatin1String("-") && f[4] != QLatin1String("default")) {
        const QStringList font = f[4].split(QLatin1Char(' '));
        c->defaultFont = false;
        c->family = font.value(0);
        c->points = font.value(1).toDouble();
        c->bold = font.value(2) == QLatin1String("bold");
        if (c->points <= 0 || font.size() > 3 || (font.size() == 3 && !c->bold))
            return false;
    }
    const QStringList words = f[5].split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString &w = words[i];
        const QString value = words.value(i + 1);
        if (w == QLatin1String("fore") || w == QLatin1String("back")) {
            if (!readColour(value, w == QLatin1String("fore") ? &c->fore : &c->back))
                return false;
            ++i;
        } else if (w == QLatin1String("transparent")) {
            c->transparent = true;
        } else if (w == QLatin1String("interval")) {
            c->interval = value.toInt();
            ++i;
        } else if (w == QLatin1String("picture")) {
            const QList<int> size = numbers(value);
            if (size.size() != 2)
                return false;
            c->picture = QSize(size[0], size[1]);
            ++i;
        } else if (w != QLatin1String("-")) {
            return false;
        }
    }
    return true;
}

} // namespace expected

/// Reads tests/ui/expected/<name in lower case>.txt; sets error when it cannot be read whole.
inline ExpectedWindow expectedWindow(const QString &name)
{
    ExpectedWindow w;
    QFile file(QStringLiteral(QUORVANE_TESTS_DIR "/ui/expected/%1.txt").arg(name.toLower()));
    if (!file.open(QIODevice::ReadOnly)) {
        w.error = file.fileName() + QStringLiteral(": ") + file.errorString();
        return w;
    }
    int number = 0;
    for (const QByteArray &bytes : file.readAll().split('\n')) {
        ++number;
        const QString line = QString::fromUtf8(bytes);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList f = line.split(QLatin1Char('\t'));
        bool ok = true;
        if (f[0] == QLatin1String("window")) {
            const QList<int> size = expected::numbers(f.value(3));
            ok = f.size() == 6 && expected::readQuoted(f[2], &w.title) && size.size() == 2
                 && f[5].startsWith(QLatin1String("background ")) && expected::readColour(f[5].mid(11), &w.background);
            w.name = f.value(1);
            w.size = QSize(size.value(0), size.value(1));
            w.frameless = f.value(4) == QLatin1String("frameless");
        } else if (f[0] == QLatin1String("taborder")) {
            w.tabOrder = f.value(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        } else if (f[0] == QLatin1String("message")) {
            QString text;
            ok = f.size() == 3 && expected::readQuoted(f[2], &text);
            w.messageLabel = f.value(1);
            w.messages << text;
        } else {
            ExpectedControl c;
            ok = expected::readControl(f, &c);
            w.controls << c;
        }
        if (!ok) {
            w.error = QStringLiteral("%1:%2: cannot read \"%3\"").arg(file.fileName()).arg(number).arg(line);
            return w;
        }
    }
    return w;
}

} // namespace testsupport
