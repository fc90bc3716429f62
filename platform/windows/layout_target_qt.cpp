#include "platform/windows/layout_target_qt.h"

#include <cmath>
#include <vector>

#include <QLocale>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace velmora {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr char kTagProperty[] = "Tag";
constexpr char kOverlayProperty[] = "velmoraOverlay";

struct TwipsPerPixel {
    double x;
    double y;
};

TwipsPerPixel twipsPerPixel(const QWidget& widget)
{
    return {kTwipsPerInch / widget.logicalDpiX(), kTwipsPerInch / widget.logicalDpiY()};
}

// Nearest whole pixel, an exact half to the even one; empty when Qt cannot
// place a widget there.
std::optional<int> toPixels(double twips, double perPixel, bool isSize)
{
    const double pixels = std::nearbyint(twips / perPixel);
    if (!std::isfinite(pixels) || std::fabs(pixels) > QWIDGETSIZE_MAX)
        return std::nullopt;
    if (isSize && twips < 0)
        return std::nullopt;
    return static_cast<int>(pixels);
}

class WidgetControl final : public LayoutControl {
public:
    WidgetControl(QWidget& widget, TwipsPerPixel scale) : widget_(widget), scale_(scale) {}

    std::optional<ControlGeometry> geometry() const override
    {
        const QRect r = widget_.geometry();
        return ControlGeometry{static_cast<float>(r.x() * scale_.x), static_cast<float>(r.y() * scale_.y),
                               static_cast<float>(r.width() * scale_.x),
                               static_cast<float>(r.height() * scale_.y)};
    }

    std::string Tag() const override { return widget_.property(kTagProperty).toString().toStdString(); }

    void setTag(const std::string& text) override
    {
        widget_.setProperty(kTagProperty, QString::fromStdString(text));
    }

    bool hasMove() const override { return true; }

    bool Move(double Left, double Top, double Width, double Height) override
    {
        const std::optional<int> x = toPixels(Left, scale_.x, false);
        const std::optional<int> y = toPixels(Top, scale_.y, false);
        const std::optional<int> w = toPixels(Width, scale_.x, true);
        const std::optional<int> h = toPixels(Height, scale_.y, true);
        if (!x || !y || !w || !h)
            return false;
        widget_.setGeometry(*x, *y, *w, *h);
        return true;
    }

private:
    QWidget& widget_;
    TwipsPerPixel scale_;
};

void collectControls(const QWidget& container, std::vector<QPointer<QWidget>>& controls)
{
    if (container.layout())
        return;
    for (QObject* child : container.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow() || isOverlay(*widget))
            continue;
        controls.emplace_back(widget);
        collectControls(*widget, controls);
    }
}

}  // namespace

QtLayoutTarget::QtLayoutTarget(QWidget& window) : window_(window) {}

float QtLayoutTarget::ScaleWidth() const
{
    return window_.isMinimized() ? 0.0f : static_cast<float>(window_.width() * twipsPerPixel(window_).x);
}

float QtLayoutTarget::ScaleHeight() const
{
    return window_.isMinimized() ? 0.0f : static_cast<float>(window_.height() * twipsPerPixel(window_).y);
}

LocaleNumbers QtLayoutTarget::localeNumbers() const
{
    return systemLocaleNumbers();
}

void QtLayoutTarget::forEachControl(const std::function<void(LayoutControl&)>& visit)
{
    // Listed first: moving a widget runs its handlers, which may add or
    // remove widgets before the walk is over.
    std::vector<QPointer<QWidget>> controls;
    collectControls(window_, controls);
    const TwipsPerPixel scale = twipsPerPixel(window_);
    for (const QPointer<QWidget>& widget : controls) {
        if (!widget)
            continue;
        WidgetControl control(*widget, scale);
        visit(control);
    }
}

void markAsOverlay(QWidget& widget)
{
    widget.setProperty(kOverlayProperty, true);
}

bool isOverlay(const QWidget& widget)
{
    return widget.property(kOverlayProperty).toBool();
}

LocaleNumbers systemLocaleNumbers()
{
    const QLocale locale;
    return {locale.decimalPoint().toStdString(), locale.negativeSign().toStdString()};
}

}  // namespace velmora
