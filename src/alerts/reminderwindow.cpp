#include "alerts/reminderwindow.h"

#include "alerts/beeper.h"
#include "platform/attention.h"
#include "platform/desktopwindow.h"
#include "runtime/commandbutton.h"
#include "runtime/formbuilder.h"
#include "runtime/hooks.h"
#include "ui/windowdefs.h"

#include <QEvent>
#include <QLabel>

#include <algorithm>
#include <cmath>
#include <utility>

namespace alerts {
namespace {

const runtime::FormDef &definition(Slot slot)
{
    switch (slot) {
    case Slot::Water:
        return ui::Form2();
    case Slot::EyeRest:
        return ui::Form3();
    case Slot::Toilet:
        break;
    }
    return ui::Form4();
}

} // namespace

ReminderWindow::ReminderWindow(Slot slot, QWidget *owner, Beeper &beeper, const runtime::Hooks &hooks)
    : runtime::Form(definition(slot), owner)
    , m_slot(slot)
    , m_beeper(beeper)
    , m_hooks(hooks)
    , m_message(runtime::control<QLabel>(this, messageLabelName(slot)))
    , m_acknowledge(runtime::control<runtime::CommandButton>(this, "Command1"))
    , m_desktop(new platform::DesktopWindow(this))
    , m_attention(new platform::Attention(this))
{
    // A reminder hidden behind the user's editor is of no use: keep it above other
    // windows. It has no owner window (a window manager keeps an owned dialog in its
    // owner's layer, below other programs' always-on-top windows); it stays modal.
    setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Window | Qt::WindowStaysOnTopHint);
    connect(m_desktop, &platform::DesktopWindow::onScreen, this, [this] { m_shown.start(); });
    connect(m_acknowledge, &QPushButton::clicked, this, &ReminderWindow::Command1_Click);
    m_acknowledge->installEventFilter(this);
}

QStringList ReminderWindow::messages(Slot slot)
{
    switch (slot) {
    case Slot::Water:
        return {QStringLiteral("饿了就喝水，水真是个好东西，难怪“多喝热水”这句话这么火，那就去喝水吧！"),
                QStringLiteral("这个冬天特别冷记得一日三餐按时吃饭，多喝热水穿秋裤，冻坏了可没人心疼没钱看病"),
                QStringLiteral("寒的冬，寒的冻白天的阳光有多温柔，夜晚的风就有多无情。天气干燥又寒冷，多喝热水！"),
                QStringLiteral("一杯生命之水，即可滋润万物，快喝水吧"),
                QStringLiteral("人体百分之七十都是水，你再不喝水就变成百分之六十啦"),
                QStringLiteral("天冷无情亦有情，喝杯热水行不行"),
                QStringLiteral("施主，放下电脑，喝杯喝水噢")};
    case Slot::EyeRest:
        return {QStringLiteral("生活需要触碰，而不是紧握。有时候你需要放松，让生活顺其自然，去远眺休息下吧"),
                QStringLiteral("再烦，也别忘记微笑；再急，也要注意语气；再苦，也要继续坚持；再怕，也要勇敢面对；"
                               "再累，也要保护自己；再痛，也要用力忍住；再忙，也要注意休息"),
                QStringLiteral("累了，就休息；心累了，就淡定。长大了，成熟了，很多事情就看透了。累了，就去远眺一下吧"),
                QStringLiteral("电脑无情亦有情，远眺一下行不行"), QStringLiteral("施主，放下电脑，看看外面噢")};
    case Slot::Toilet:
        break;
    }
    return {QStringLiteral("该上厕所了嘞"), QStringLiteral("再不上厕所，膀胱就得撑不了了嘞"),
            QStringLiteral("电脑无情亦有情，上下厕所行不行")};
}

const char *ReminderWindow::messageLabelName(Slot slot)
{
    return slot == Slot::Water ? "Label1" : "Label2";
}

void ReminderWindow::Form_Load()
{
    remind();
    m_justLoaded = true;
}

void ReminderWindow::remind()
{
    m_beeper.startUnlessSwitchedOff();
    m_hooks.randomize();
    const QStringList list = messages(m_slot);
    const double r = m_hooks.random();
    const int k = std::clamp(int(std::floor(r * double(list.size()))), 0, int(list.size()) - 1);
    m_message->setText(list.at(k));
    Q_EMIT reminded(list.at(k));
}

void ReminderWindow::dismiss()
{
    Hide();
    m_beeper.stop();
}

void ReminderWindow::beforeShow()
{
    // The window is created once and only hidden afterwards; each reminder is a new one,
    // with the sound switch read again and a new message. The first showing's was made
    // by the load step.
    if (!std::exchange(m_justLoaded, false))
        remind();
    // Some window managers hide a dialog together with its minimized owner.
    if (QWidget *owner = parentWidget(); owner && owner->isMinimized())
        owner->setWindowState(owner->windowState() & ~Qt::WindowMinimized);
    m_desktop->aboutToShow();
}

void ReminderWindow::beforeHide()
{
    m_desktop->aboutToHide();
}

void ReminderWindow::afterShow()
{
    m_desktop->restoreFocus();
}

void ReminderWindow::showEvent(QShowEvent *event)
{
    runtime::Form::showEvent(event);
    m_shown.invalidate();
    raise();
    if (m_desktop->takesFocusAtOnce())
        activateWindow();
    if (parentWidget())
        m_attention->ask(parentWidget()); // the main window asks for attention too
}

bool ReminderWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Keystrokes meant for another window (the user was typing when the reminder popped
    // up) must not acknowledge it: keys do nothing to "我已知晓" in its first second on
    // screen.
    if (watched == m_acknowledge && (!m_shown.isValid() || m_shown.elapsed() < kKeyGuardMs)) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
            return true;
        default:
            break;
        }
    }
    return runtime::Form::eventFilter(watched, event);
}

} // namespace alerts
