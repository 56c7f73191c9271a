// The drink-water reminder: banner on top, the message label in the middle, "我已知晓"
// below. Controls are listed from the bottom of the stacking order up.
#include "ui/reminderparts.h"
#include "ui/windowdefs.h"

namespace ui {

using runtime::Kind;
using runtime::Rgb;

const runtime::FormDef &Form2()
{
    constexpr Rgb back{192, 255, 255};
    static const runtime::FormDef def{
        .name = "Form2",
        .caption = "Form2",
        .clientWidth = 8715,
        .clientHeight = 4830,
        .border = runtime::FormDef::Border::None,
        .position = runtime::FormDef::Position::CenterOwner,
        .backColor = back,
        .controls =
            {
                {.kind = Kind::Label,
                 .name = "Label1",
                 .left = 1560,
                 .top = 1200,
                 .width = 5535,
                 .height = 1095,
                 .tabIndex = 0,
                 .font = {14.25, false}},
                {.kind = Kind::Label,
                 .name = "Label2",
                 .caption = "         到时啦",
                 .width = 8775,
                 .height = 735,
                 .tabIndex = 1,
                 .font = kBannerFont,
                 .backColor = Rgb{0, 255, 255},
                 .opaque = true},
                acknowledgeButton(3480, 3480, back),
            },
    };
    return def;
}

} // namespace ui
