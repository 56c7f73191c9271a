// The three reminder windows: a banner running across the top, a message label in the
// middle and the "我已知晓" button, its face in the window's colour. Controls are listed
// from the bottom of the stacking order up.
#include "ui/windows.h"

namespace ui {

using forms::ControlDef;
using forms::FontDef;
using forms::FormDef;
using forms::Kind;
using forms::Rgb;

namespace {

constexpr FontDef kBannerFont{36, false};

ControlDef acknowledge(int left, int top, Rgb face)
{
    return {.kind = Kind::CommandButton, .name = "Command1", .caption = "我已知晓", .left = left, .top = top,
            .width = 1815, .height = 735, .tabIndex = 2, .backColor = face};
}

} // namespace

const FormDef &Form2()
{
    constexpr Rgb back{192, 255, 255};
    static const FormDef def{
        .name = "Form2",
        .caption = "Form2",
        .clientWidth = 8715,
        .clientHeight = 4830,
        .border = FormDef::Border::None,
        .position = FormDef::Position::CenterOwner,
        .backColor = back,
        .controls = {
            {.kind = Kind::Label, .name = "Label1", .left = 1560, .top = 1200, .width = 5535, .height = 1095,
             .tabIndex = 0, .font = {14.25, false}},
            {.kind = Kind::Label, .name = "Label2", .caption = "         到时啦", .width = 8775, .height = 735,
             .tabIndex = 1, .font = kBannerFont, .backColor = Rgb{0, 255, 255}, .opaque = true},
            acknowledge(3480, 3480, back),
        },
    };
    return def;
}

const FormDef &Form3()
{
    constexpr Rgb back{192, 255, 192};
    static const FormDef def{
        .name = "Form3",
        .caption = "Form3",
        .clientWidth = 8040,
        .clientHeight = 4290,
        .border = FormDef::Border::None,
        .position = FormDef::Position::CenterOwner,
        .backColor = back,
        .controls = {
            {.kind = Kind::Label, .name = "Label1", .caption = "        到时啦", .width = 8055, .height = 855,
             .tabIndex = 0, .font = kBannerFont, .backColor = Rgb{0, 255, 0}, .opaque = true},
            {.kind = Kind::Label, .name = "Label2", .left = 1440, .top = 1440, .width = 5055, .height = 1095,
             .tabIndex = 1, .font = {12, false}},
            acknowledge(3120, 3120, back),
        },
    };
    return def;
}

const FormDef &Form4()
{
    constexpr Rgb back{255, 255, 255};
    static const FormDef def{
        .name = "Form4",
        .caption = "Form4",
        .clientWidth = 8880,
        .clientHeight = 4365,
        .border = FormDef::Border::None,
        .position = FormDef::Position::CenterOwner,
        .backColor = back,
        .controls = {
            // Opaque in the desktop's default label background, not the window's white.
            {.kind = Kind::Label, .name = "Label1", .caption = "         到时啦", .width = 8895, .height = 855,
             .tabIndex = 0, .font = kBannerFont, .opaque = true},
            {.kind = Kind::Label, .name = "Label2", .left = 1680, .top = 1440, .width = 5175, .height = 1095,
             .tabIndex = 1, .font = {12, false}},
            acknowledge(3480, 3000, back),
        },
    };
    return def;
}

} // namespace ui
