// The start-up floor: a plain Qt Widgets window the size of the main window (893x488)
// with as many controls of the same kinds (labels, line edits, buttons, check boxes, four
// lines) over a 1079x589 background picture read from a file. No settings, no timers.
// With --bare, the floor under that: an empty QWidget of the same size titled "Bare".
// With --counting, the floor of a second of three counting slots: the same window, whose
// three seconds boxes get a new number each second from one timer, as a plain Qt program
// would do it.
//
//   bench_minimal [BACKGROUND_PICTURE]
//   bench_minimal --bare
//   bench_minimal --counting
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#ifndef BENCH_BACKGROUND
#define BENCH_BACKGROUND ""
#endif

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString argument = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (argument == QLatin1String("--bare")) {
        QWidget bare;
        bare.setWindowTitle(QStringLiteral("Bare"));
        bare.resize(893, 488);
        bare.show();
        return app.exec();
    }
    const bool counting = argument == QLatin1String("--counting");
    const QString picture = argc > 1 && !counting ? argument : QStringLiteral(BENCH_BACKGROUND);
    QList<QLineEdit *> secondsBoxes;

    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.resize(893, 488);

    auto *background = new QLabel(&window);
    background->setPixmap(QPixmap(picture));
    background->setGeometry(0, 0, 1079, 589);

    QFont topicFont;
    topicFont.setPointSizeF(21.75);
    QFont timeFont;
    timeFont.setPointSize(24);
    timeFont.setBold(true);

    const char *const topics[] = {"    喝水", "    远眺", "    厕所", " 确定选择并开始计时"};
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(QString::fromUtf8(topics[i]), &window);
        label->setFont(topicFont);
        label->setWordWrap(true);
        label->setGeometry(i < 3 ? 232 : 192, i < 3 ? 8 + 128 * i : 424, i < 3 ? 193 : 289, i < 3 ? 49 : 41);
    }
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            auto *box = new QLineEdit(QStringLiteral("0"), &window);
            box->setFont(timeFont);
            box->setGeometry(64 + 232 * col, 48 + 128 * row, 81, 57);
            if (col == 2)
                secondsBoxes.append(box);
        }
        auto *check = new QCheckBox(&window);
        check->setGeometry(368, 16 + 128 * row, 9, 12);
    }
    const char *const columns[] = {"  时", "  分   ", "  秒"};
    for (int i = 0; i < 3; ++i)
        (new QLabel(QString::fromUtf8(columns[i]), &window))->setGeometry(80 + 232 * i, 376, 49, 25);
    const char *const buttons[] = {"   一键保存个人时间     （无法在计时时使用）", "声音提醒", "医学科普",
                                   "一键变为医学建议"};
    for (int i = 0; i < 4; ++i) {
        auto *button = new QPushButton(QString::fromUtf8(buttons[i]), &window);
        button->setGeometry(680, 56 + 104 * i, 153, 49);
    }
    (new QLabel(QString::fromUtf8("双击此处变为关"), &window))->setGeometry(680, 136, 153, 25);
    (new QLineEdit(QString::fromUtf8("关"), &window))->setGeometry(736, 208, 41, 33);
    for (int i = 0; i < 4; ++i) {
        auto *line = new QFrame(&window);
        line->setFrameShape(i < 2 ? QFrame::HLine : QFrame::VLine);
        line->setGeometry(i < 2 ? QRect(208, 424 + 40 * i, 264, 1) : QRect(208 + 264 * (i - 2), 424, 1, 40));
    }

    QTimer second;
    int left = 0;
    QObject::connect(&second, &QTimer::timeout, [&] {
        left = left > 0 ? left - 1 : 59;
        for (QLineEdit *box : secondsBoxes)
            box->setText(QString::number(left));
    });
    if (counting)
        second.start(1000);

    window.show();
    return app.exec();
}
