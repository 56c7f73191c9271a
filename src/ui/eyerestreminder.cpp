// The eye-rest reminder: banner on top, the message label in the middle, "我已知晓"
// below. Controls are listed from the bottom of the stacking order up.
#include "ui/reminderparts.h"
#include "ui/windowdefs.h"

namespace ui {

using runtime::Kind;
using runtime::Rgb;

const runtime::FormDef &Form3()
{
    constexpr Rgb back{192, 255, 192};
    static const runtime::FormDef def{
        .name = "Form3",
        .caption = "Form3",
        .clientWidth = 8040,
        .clientHeight = 4290,
        .border = runtime::FormDef::Border::None,
        .position = runtime::FormDef::Position::CenterOwner,
        .backColor = back,
        .controls =
            {
                {.kind = Kind::Label,
                 .name = "Label1",
                 .caption = "        到时啦",
                 .width = 8055,
                 .height = 855,
                 .tabIndex = 0,
                 .font = kBannerFont,
                 .backColor = Rgb{0, 255, 0},
                 .opaque = true},
                {.kind = Kind::Label,
                 .name = "Label2",
                 .left = 1440,
                 .top = 1440,
                 .width = 5055,
                 .height = 1095,
                 .tabIndex = 1,
                 .font = {12, false}},
                acknowledgeButton(3120, 3120, back),
            },
    };
    return def;
}

} // namespace ui
