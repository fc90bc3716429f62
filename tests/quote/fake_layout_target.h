#pragma once
// A window made of plain data for the layout rules: a scale size, a locale
// and controls that record every move. A moved control reports its new
// geometry afterwards, as a real one does, so reading geometry where the tag
// should be read shows up as drift.
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/windows/layout_target.h"

namespace velmora::test {

struct Placement {
    double Left;
    double Top;
    double Width;
    double Height;
    bool operator==(const Placement&) const = default;
};

class FakeLayoutControl final : public LayoutControl {
public:
    std::optional<ControlGeometry> geometry() const override { return current; }
    std::string Tag() const override { return tag; }
    void setTag(const std::string& text) override
    {
        if (refusesTag)
            throw std::runtime_error("Tag is read-only");
        tag = text;
    }
    bool hasMove() const override { return movable; }
    bool Move(double Left, double Top, double Width, double Height) override
    {
        if (!movable)
            throw std::logic_error("Move called on a control without Move");
        if (refusesMoves)
            return false;
        moves.push_back({Left, Top, Width, Height});
        current = ControlGeometry{static_cast<float>(Left), static_cast<float>(Top),
                                  static_cast<float>(Width), static_cast<float>(Height)};
        return true;
    }
    std::optional<Placement> lastMove() const
    {
        return moves.empty() ? std::nullopt : std::optional<Placement>(moves.back());
    }

    std::optional<ControlGeometry> current;
    std::string tag;
    bool movable = true;
    bool refusesMoves = false;
    bool refusesTag = false;
    std::vector<Placement> moves;
};

class FakeLayoutTarget final : public LayoutTarget {
public:
    float ScaleWidth() const override { return width; }
    float ScaleHeight() const override { return height; }
    LocaleNumbers localeNumbers() const override { return locale; }
    void forEachControl(const std::function<void(LayoutControl&)>& visit) override
    {
        for (FakeLayoutControl& control : controls)
            visit(control);
    }

    // A control with a geometry and a Move, like a text box or a browser.
    FakeLayoutControl& addControl(ControlGeometry geometry)
    {
        FakeLayoutControl& control = controls.emplace_back();
        control.current = geometry;
        return control;
    }
    // A control with neither, like a menu item or a timer.
    FakeLayoutControl& addMenuItem(std::string tag = {})
    {
        FakeLayoutControl& control = controls.emplace_back();
        control.movable = false;
        control.tag = std::move(tag);
        return control;
    }

    float width = 0;
    float height = 0;
    LocaleNumbers locale;
    std::deque<FakeLayoutControl> controls;  // stable addresses
};

}  // namespace velmora::test
