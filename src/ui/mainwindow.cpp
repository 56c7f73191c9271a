// The main window Form1: three reminder rows, the start label, the command column and the
// background picture. Controls are listed from the bottom of the stacking order up.
#include "ui/windowdefs.h"

namespace ui {

using runtime::ControlDef;
using runtime::FontDef;
using runtime::FormDef;
using runtime::Kind;
using runtime::Rgb;

namespace {

constexpr FontDef kTopicFont{21.75, false};
constexpr FontDef kTimeFont{24, true};
constexpr FontDef kColumnFont{12, false};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

ControlDef topic(const char *name, const char *caption, int top, int tab, Rgb color)
{
    return {.kind = Kind::Label,
            .name = name,
            .caption = caption,
            .left = 3480,
            .top = top,
            .width = 2895,
            .height = 735,
            .tabIndex = tab,
            .font = kTopicFont,
            .foreColor = color};
}

ControlDef timeBox(const char *name, int left, int top, int tab, bool blackText)
{
    ControlDef c{.kind = Kind::TextBox,
                 .name = name,
                 .caption = "0",
                 .left = left,
                 .top = top,
                 .width = 1215,
                 .height = 855,
                 .tabIndex = tab,
                 .font = kTimeFont,
                 .backColor = kWhite};
    if (blackText)
        c.foreColor = kBlack;
    return c;
}

ControlDef check(const char *name, int top, int tab)
{
    return {
        .kind = Kind::CheckBox, .name = name, .left = 5520, .top = top, .width = 135, .height = 180, .tabIndex = tab};
}

ControlDef column(const char *name, const char *caption, int left, int tab)
{
    return {.kind = Kind::Label,
            .name = name,
            .caption = caption,
            .left = left,
            .top = 5640,
            .width = 735,
            .height = 375,
            .tabIndex = tab,
            .font = kColumnFont};
}

ControlDef line(const char *name, int x1, int y1, int x2, int y2)
{
    return {.kind = Kind::Line, .name = name, .ends = {x1, y1, x2, y2}};
}

ControlDef button(const char *name, const char *caption, int top, int height, int tab)
{
    return {.kind = Kind::CommandButton,
            .name = name,
            .caption = caption,
            .left = 10200,
            .top = top,
            .width = 2295,
            .height = height,
            .tabIndex = tab};
}

ControlDef timer(const char *name)
{
    return {.kind = Kind::Timer, .name = name, .interval = 1000};
}

} // namespace

const FormDef &Form1()
{
    static const FormDef def{
        .name = "Form1",
        .caption = "Form1",
        .clientWidth = 13395,
        .clientHeight = 7320,
        .border = FormDef::Border::Sizable,
        .position = FormDef::Position::CenterScreen,
        .controls =
            {
                {.kind = Kind::Image, .name = "Image1", .width = 16185, .height = 8835, .picture = ":/background.jpg"},
                topic("Label1", "    喝水", 120, 6, Rgb{128, 255, 255}),
                topic("Label3", "    远眺", 2040, 7, Rgb{0, 255, 0}),
                {.kind = Kind::Label,
                 .name = "Label2",
                 .caption = " 确定选择并开始计时",
                 .left = 2880,
                 .top = 6360,
                 .width = 4335,
                 .height = 615,
                 .tabIndex = 8,
                 .font = kTopicFont,
                 .foreColor = kBlack},
                line("Line1", 3120, 6360, 7080, 6360),
                line("Line2", 3120, 6960, 7080, 6960),
                line("Line3", 3120, 6360, 3120, 6960),
                line("Line4", 7080, 6360, 7080, 6960),
                topic("Label4", "    厕所", 3960, 12, kWhite),
                column("Label5", "  时", 1200, 16),
                column("Label6", "  秒", 8160, 17),
                column("Label7", "  分   ", 4680, 18),
                {.kind = Kind::Label,
                 .name = "Label8",
                 .caption = "双击此处变为关",
                 .left = 10200,
                 .top = 2040,
                 .width = 2295,
                 .height = 375,
                 .tabIndex = 24,
                 .font = {15.75, false},
                 .foreColor = kWhite,
                 .backColor = kBlack,
                 .opaque = true},
                timeBox("h", 960, 720, 0, true),
                timeBox("m", 4440, 720, 1, true),
                timeBox("s", 7920, 720, 2, false),
                check("Check1", 240, 3),
                check("Check2", 2160, 4),
                timeBox("h2", 960, 2760, 5, true),
                timeBox("m2", 4440, 2760, 9, true),
                timeBox("s2", 7920, 2760, 10, false),
                timeBox("h3", 960, 4680, 11, true),
                timeBox("m3", 4440, 4680, 13, true),
                timeBox("s3", 7920, 4680, 14, false),
                check("Check3", 4080, 15),
                timer("Timer1"),
                timer("Timer2"),
                button("Command1", "   一键保存个人时间     （无法在计时时使用）", 840, 615, 19),
                button("Command2", "声音提醒", 2400, 735, 20),
                timer("Timer3"),
                button("Command3", "医学科普", 4080, 735, 21),
                button("Command4", "一键变为医学建议", 5520, 735, 22),
                timer("Timer4"),
                {.kind = Kind::TextBox,
                 .name = "Text1",
                 .caption = "关",
                 .left = 11040,
                 .top = 3120,
                 .width = 615,
                 .height = 495,
                 .tabIndex = 23,
                 .font = {18, false}},
            },
    };
    return def;
}

} // namespace ui
