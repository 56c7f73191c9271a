// The health tips window: one row per topic in the topic's colour, the red note in its
// narrow column and the back button over the note's foot. Controls are listed from the
// bottom of the stacking order up.
#include "ui/windowdefs.h"

namespace ui {

using runtime::ControlDef;
using runtime::FontDef;
using runtime::FormDef;
using runtime::Kind;
using runtime::Rgb;

namespace {

constexpr FontDef kHeadingFont{24, false};
constexpr FontDef kTipFont{12, false};

ControlDef row(const char *name, const char *caption, int left, int top, int width, int height, int tab, FontDef font,
               Rgb back)
{
    return {.kind = Kind::Label,
            .name = name,
            .caption = caption,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .tabIndex = tab,
            .font = font,
            .backColor = back,
            .opaque = true};
}

} // namespace

const FormDef &Form5()
{
    constexpr Rgb water{192, 255, 255};
    constexpr Rgb eyes{192, 255, 192};
    constexpr Rgb toilet{255, 255, 255};
    static const FormDef def{
        .name = "Form5",
        .caption = "Form5",
        .clientWidth = 9345,
        .clientHeight = 4680,
        .border = FormDef::Border::None,
        .position = FormDef::Position::CenterScreen,
        .backColor = Rgb{192, 192, 255},
        .controls =
            {
                row("Label1", "喝水：", 720, 240, 1455, 615, 0, kHeadingFont, water),
                row("Label2",
                    "通常情况下每天保证1500到2000ml的水，有利于身体健康，如果感觉口渴的情况说明身体已经缺水了，"
                    "建议可以20分钟到30分钟左右喝一次水，平时养成喝水的好习惯，不要喝太快。\r\n\r\n",
                    1920, 240, 5055, 975, 1, kTipFont, water),
                row("Label3", "远眺：", 720, 1800, 1455, 615, 2, kHeadingFont, eyes),
                row("Label4",
                    "看书或玩电子产品过程中注意每用眼1-2小时，休息15分钟，闭目或远眺都可以，以此缓解用眼的压力。"
                    "觉得眼睛干涩疲劳时，有意识地多眨眼睛，使眼泪均匀地分布在角膜结膜表面。",
                    1920, 1800, 5175, 975, 3, kTipFont, eyes),
                row("Label5", "厕所：", 720, 3360, 1455, 615, 4, kHeadingFont, toilet),
                row("Label6", "未大量饮水，一般两小时左右一次", 1920, 3360, 5175, 855, 5, kTipFont, toilet),
                {.kind = Kind::Label,
                 .name = "Label7",
                 .caption = "注意   医学建议仅仅是建议，生活习性终究还是因人而异",
                 .left = 7200,
                 .top = 360,
                 .width = 1935,
                 .height = 3615,
                 .tabIndex = 6,
                 .font = kHeadingFont,
                 .foreColor = Rgb{255, 0, 0}},
                {.kind = Kind::CommandButton,
                 .name = "Command1",
                 .caption = "返回",
                 .left = 7200,
                 .top = 3840,
                 .width = 1935,
                 .height = 615,
                 .tabIndex = 7},
            },
    };
    return def;
}

} // namespace ui
