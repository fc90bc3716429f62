#pragma once
// A window as the proportional layout sees it: an inner area in the window's
// scale units and its controls, each with a position and size, a free text
// Tag and a move operation. Standard library only, so that the layout rules
// can be exercised without a window system; layout_target_qt.h presents a
// real window this way.
#include <functional>
#include <optional>
#include <string>

namespace velmora {

// How the user's locale writes a number: its decimal separator and its minus
// sign, both UTF-8. Digits are always ASCII and there is no digit grouping.
struct LocaleNumbers {
    std::string decimalPoint = ".";
    std::string minusSign = "-";
};

// Position and size in the scale units of the control's container.
struct ControlGeometry {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
};

class LayoutControl {
public:
    virtual ~LayoutControl() = default;

    // Empty for a control that has no geometry (a menu item, a timer).
    // May throw when the control cannot report it.
    virtual std::optional<ControlGeometry> geometry() const = 0;

    virtual std::string Tag() const = 0;
    // May throw when the control cannot keep the text.
    virtual void setTag(const std::string& text) = 0;

    // False for a control that has no move operation.
    virtual bool hasMove() const = 0;
    // Sets position and size in one step. Returns false, and stays where it
    // is, when the control refuses the values (a negative size, a size it
    // cannot represent). May throw.
    virtual bool Move(double Left, double Top, double Width, double Height) = 0;
};

class LayoutTarget {
public:
    virtual ~LayoutTarget() = default;

    // Size of the window's inner area in its scale units; 0 by 0 while the
    // window has no inner area (minimised). May throw.
    virtual float ScaleWidth() const = 0;
    virtual float ScaleHeight() const = 0;

    // The number format of the locale the window's texts are written in.
    virtual LocaleNumbers localeNumbers() const = 0;

    // Calls visit once for every control of the window, in the window's own
    // order, controls inside containers included. A control is valid only
    // during its call; visit may move it or rewrite its Tag.
    virtual void forEachControl(const std::function<void(LayoutControl&)>& visit) = 0;
};

}  // namespace velmora
