#include "companion/optionswindow.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace companion {
namespace {

constexpr const char *kDayNames[7] = {"周一", "周二", "周三", "周四", "周五", "周六", "周日"};

/// A check box indented under the switch it belongs to.
QHBoxLayout *indented(QWidget *w)
{
    auto *row = new QHBoxLayout;
    row->addSpacing(24);
    row->addWidget(w);
    row->addStretch();
    return row;
}

QTimeEdit *timeEdit(const QTime &time, QWidget *parent)
{
    auto *edit = new QTimeEdit(time, parent);
    edit->setDisplayFormat(QStringLiteral("HH:mm"));
    return edit;
}

} // namespace

OptionsWindow::OptionsWindow(const Choices &choices, bool autostart, QWidget *parent)
    : QDialog(parent)
    , m_autoRepeat(new QCheckBox(QStringLiteral("到时后自动重新计时"), this))
    , m_autostart(new QCheckBox(QStringLiteral("登录后自动启动"), this))
    , m_awayHold(new QCheckBox(QStringLiteral("离开电脑时暂停计时"), this))
    , m_awayAfter(new QSpinBox(this))
    , m_eyeRest(new QCheckBox(QStringLiteral("离开后重新开始远眺计时"), this))
    , m_presenting(new QCheckBox(QStringLiteral("演示、全屏或免打扰时推迟提醒"), this))
    , m_workingHours(new QCheckBox(QStringLiteral("只在工作时间提醒"), this))
    , m_from(timeEdit(choices.workFrom, this))
    , m_to(timeEdit(choices.workTo, this))
{
    setWindowTitle(QStringLiteral("选项"));
    setModal(true);

    m_autoRepeat->setChecked(choices.autoRepeat);
    m_autostart->setChecked(autostart);
    m_awayHold->setChecked(choices.awayHold);
    m_awayAfter->setRange(Choices::kMinAwayMinutes, Choices::kMaxAwayMinutes);
    m_awayAfter->setValue(choices.awayAfterMinutes);
    m_awayAfter->setSuffix(QStringLiteral(" 分钟"));
    m_eyeRest->setChecked(choices.eyeRestAfterAway);
    m_presenting->setChecked(choices.holdWhilePresenting);
    m_workingHours->setChecked(choices.workingHoursOnly);

    auto *away = new QHBoxLayout;
    away->addSpacing(24);
    auto *awayLabel = new QLabel(QStringLiteral("无操作多久算离开："), this);
    awayLabel->setBuddy(m_awayAfter);
    away->addWidget(awayLabel);
    away->addWidget(m_awayAfter);
    away->addStretch();

    auto *days = new QHBoxLayout;
    days->addSpacing(24);
    for (size_t k = 0; k < m_days.size(); ++k) {
        m_days[k] = new QCheckBox(QString::fromUtf8(kDayNames[k]), this);
        m_days[k]->setChecked(choices.workingDays[k]);
        days->addWidget(m_days[k]);
    }
    days->addStretch();
    auto *hours = new QHBoxLayout;
    hours->addSpacing(24);
    auto *fromLabel = new QLabel(QStringLiteral("从"), this);
    fromLabel->setBuddy(m_from);
    auto *toLabel = new QLabel(QStringLiteral("到"), this);
    toLabel->setBuddy(m_to);
    hours->addWidget(fromLabel);
    hours->addWidget(m_from);
    hours->addWidget(toLabel);
    hours->addWidget(m_to);
    hours->addStretch();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    // Chinese under every locale, whether or not Qt's own translation is installed.
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_autoRepeat);
    layout->addWidget(m_autostart);
    layout->addWidget(m_awayHold);
    layout->addLayout(away);
    layout->addLayout(indented(m_eyeRest));
    layout->addWidget(m_presenting);
    layout->addWidget(m_workingHours);
    layout->addLayout(days);
    layout->addLayout(hours);
    layout->addWidget(buttons);

    connect(m_awayHold, &QCheckBox::toggled, this, &OptionsWindow::followSwitches);
    connect(m_workingHours, &QCheckBox::toggled, this, &OptionsWindow::followSwitches);
    followSwitches();
}

void OptionsWindow::followSwitches()
{
    m_awayAfter->setEnabled(m_awayHold->isChecked());
    m_eyeRest->setEnabled(m_awayHold->isChecked());
    for (QCheckBox *day : m_days)
        day->setEnabled(m_workingHours->isChecked());
    m_from->setEnabled(m_workingHours->isChecked());
    m_to->setEnabled(m_workingHours->isChecked());
}

Choices OptionsWindow::choices() const
{
    Choices c;
    c.autoRepeat = m_autoRepeat->isChecked();
    c.awayHold = m_awayHold->isChecked();
    c.awayAfterMinutes = m_awayAfter->value();
    c.eyeRestAfterAway = m_eyeRest->isChecked();
    c.holdWhilePresenting = m_presenting->isChecked();
    c.workingHoursOnly = m_workingHours->isChecked();
    for (size_t k = 0; k < m_days.size(); ++k)
        c.workingDays[k] = m_days[k]->isChecked();
    c.workFrom = m_from->time();
    c.workTo = m_to->time();
    return c;
}

bool OptionsWindow::autostart() const
{
    return m_autostart->isChecked();
}

} // namespace companion
