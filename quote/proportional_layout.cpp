#include "quote/proportional_layout.h"

#include <charconv>
#include <cmath>
#include <exception>
#include <iterator>
#include <limits>
#include <string>

#include "quote/geometry_tag.h"
#include "quote/layout_error.h"

namespace velmora {

namespace {

std::string describe(double value)
{
    char buffer[32];
    const std::to_chars_result written = std::to_chars(buffer, std::end(buffer), value);
    return std::string(buffer, written.ptr);
}

// Nearest integer, an exact half to the even neighbour: nearbyint under the
// default rounding mode, which the program never changes.
std::int32_t recordedSize(float scaleSize, const char* dimension)
{
    const double rounded = std::nearbyint(static_cast<double>(scaleSize));
    if (!(rounded >= std::numeric_limits<std::int32_t>::min()
          && rounded <= std::numeric_limits<std::int32_t>::max())) {
        throw LayoutError(std::string("记录窗口尺寸失败：") + dimension + " " + describe(scaleSize)
                          + " 溢出，超出 32 位整数范围");
    }
    return static_cast<std::int32_t>(rounded);
}

// The current size is used unrounded; only the recorded one is whole.
double ratio(float scaleSize, std::int32_t recorded, const char* direction)
{
    const double current = scaleSize;
    const std::string failed = std::string("调整控件比例失败：") + direction;
    if (recorded == 0) {
        if (current == 0 || std::isnan(current))
            throw LayoutError(failed + "无效（0 除以 0，窗口尺寸尚未记录或记录为 0）");
        throw LayoutError(failed + "除以零（窗口尺寸尚未记录或记录为 0）");
    }
    const double result = current / recorded;
    if (std::isnan(result))
        throw LayoutError(failed + "无效（窗口尺寸 " + describe(current) + " 不是数字）");
    if (std::isinf(result))
        throw LayoutError(failed + "溢出（窗口尺寸 " + describe(current) + "）");
    return result;
}

// Reading the four values, building the tag and storing it form one step.
void writeTag(LayoutControl& control, const LocaleNumbers& locale)
{
    const std::optional<ControlGeometry> geometry = control.geometry();
    if (!geometry)
        return;
    if (const std::optional<std::string> tag = writeGeometryTag(*geometry, locale))
        control.setTag(*tag);
}

void moveFromTag(LayoutControl& control, const LocaleNumbers& locale, GeometryValues& slots,
                 double horizontal, double vertical)
{
    readGeometryTag(control.Tag(), locale, slots);
    const double left = slots[0] * horizontal;
    const double top = slots[1] * vertical;
    const double width = slots[2] * horizontal;
    const double height = slots[3] * vertical;
    const bool overflow = !std::isfinite(left) || !std::isfinite(top) || !std::isfinite(width)
        || !std::isfinite(height);
    if (overflow || !control.hasMove())
        return;
    control.Move(left, top, width, height);  // a refused move leaves the control as it is
}

}  // namespace

void ProportionalLayout::ResizeInit(LayoutTarget& FormName)
{
    const std::int32_t width = recordedSize(FormName.ScaleWidth(), "宽度");
    const std::int32_t height = recordedSize(FormName.ScaleHeight(), "高度");
    initScaleWidth_ = width;
    initScaleHeight_ = height;

    const LocaleNumbers locale = FormName.localeNumbers();
    FormName.forEachControl([&](LayoutControl& control) {
        try {
            writeTag(control, locale);
        } catch (const std::exception&) {
            // A control that cannot report or keep its geometry keeps its Tag.
        }
    });
}

void ProportionalLayout::ResizeForm(LayoutTarget& FormName)
{
    // Set once per call: a field that does not convert keeps what the slot
    // last received, possibly from the control before.
    GeometryValues slots{};
    const double horizontal = ratio(FormName.ScaleWidth(), initScaleWidth_, "横向比例");
    const double vertical = ratio(FormName.ScaleHeight(), initScaleHeight_, "纵向比例");

    const LocaleNumbers locale = FormName.localeNumbers();
    FormName.forEachControl([&](LayoutControl& control) {
        try {
            moveFromTag(control, locale, slots, horizontal, vertical);
        } catch (const std::exception&) {
            // One control's failure never stops the others.
        }
    });
}

}  // namespace velmora
