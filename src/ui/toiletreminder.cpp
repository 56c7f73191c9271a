// The toilet reminder: banner on top, the message label in the middle, "我已知晓"
// below. Controls are listed from the bottom of the stacking order up.
#include "ui/reminderparts.h"
#include "ui/windowdefs.h"

namespace ui {

using runtime::Kind;
using runtime::Rgb;

const runtime::FormDef &Form4()
{
    constexpr Rgb back{255, 255, 255};
    static const runtime::FormDef def{
        .name = "Form4",
        .caption = "Form4",
        .clientWidth = 8880,
        .clientHeight = 4365,
        .border = runtime::FormDef::Border::None,
        .position = runtime::FormDef::Position::CenterOwner,
        .backColor = back,
        .controls =
            {
                // Opaque in the desktop's default label background, not the window's white.
                {.kind = Kind::Label,
                 .name = "Label1",
                 .caption = "         到时啦",
                 .width = 8895,
                 .height = 855,
                 .tabIndex = 0,
                 .font = kBannerFont,
                 .opaque = true},
                {.kind = Kind::Label,
                 .name = "Label2",
                 .left = 1680,
                 .top = 1440,
                 .width = 5175,
                 .height = 1095,
                 .tabIndex = 1,
                 .font = {12, false}},
                acknowledgeButton(3480, 3000, back),
            },
    };
    return def;
}

} // namespace ui
