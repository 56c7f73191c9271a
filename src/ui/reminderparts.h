// What the three reminder windows share: a banner running across the top in a large
// font, and the "我已知晓" button, its face in the window's colour.
#pragma once

#include "runtime/formdef.h"

namespace ui {

inline constexpr runtime::FontDef kBannerFont{36, false};

inline runtime::ControlDef acknowledgeButton(int left, int top, runtime::Rgb face)
{
    return {.kind = runtime::Kind::CommandButton,
            .name = "Command1",
            .caption = "我已知晓",
            .left = left,
            .top = top,
            .width = 1815,
            .height = 735,
            .tabIndex = 2,
            .backColor = face};
}

} // namespace ui
