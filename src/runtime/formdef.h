// Window definitions as plain data: what each window holds, where, in which font
// and colours. The generic builder (formbuilder.h) turns a FormDef into widgets.
#pragma once

#include <optional>
#include <vector>

namespace runtime {

/// The kinds of control a window definition can hold.
enum class Kind { Label, TextBox, CheckBox, CommandButton, Timer, Line, Image };

/// An RGB colour as stored in a definition.
struct Rgb {
    int r = 0, g = 0, b = 0;
};

/// A font. pointSize 0 means the desktop's default user-interface font; any other
/// size means "宋体" (mapped to an installed Song-style CJK face) at that size.
struct FontDef {
    double pointSize = 0;
    bool bold = false;
};

/// The two end points of a line, in twips from the top-left corner of the client area.
struct LineEnds {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

/// One control. Geometry is in twips from the top-left corner of the client area.
struct ControlDef {
    Kind kind = Kind::Label;
    const char *name = "";
    const char *caption = ""; ///< caption or text box text (UTF-8)
    int left = 0, top = 0, width = 0, height = 0;
    int tabIndex = -1; ///< -1: the control has no place in the tab order
    FontDef font{};
    std::optional<Rgb> foreColor{};
    std::optional<Rgb> backColor{};
    bool opaque = false;      ///< labels: paint the background colour instead of showing through
    int interval = 0;         ///< timers: milliseconds
    LineEnds ends{};          ///< lines: where the line runs (left/top/width/height are not used)
    const char *picture = ""; ///< images: resource path of the picture, shown at its natural size
};

/// One window. Controls are listed from the bottom of the stacking order to the top:
/// each control is created above those listed before it.
struct FormDef {
    enum class Border { Sizable, None };
    enum class Position { CenterScreen, CenterOwner };

    const char *name = "";
    const char *caption = "";
    int clientWidth = 0, clientHeight = 0; ///< twips
    Border border = Border::Sizable;
    Position position = Position::CenterScreen;
    std::optional<Rgb> backColor{};
    std::vector<ControlDef> controls;
};

/// Twips per logical pixel (15 twips are one pixel at 96 dots per inch).
inline constexpr int kTwipsPerPixel = 15;

/// Twips to logical pixels, rounded to the nearest pixel (halves away from zero).
constexpr int toPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

} // namespace runtime
