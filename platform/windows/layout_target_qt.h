#pragma once
// A real window as a layout target. Sizes are in twips, 1440 to the inch:
// 15 to a pixel at 96 dots per inch, in proportion on other screens. The
// controls are the window's widgets in creation order, those inside plain
// containers included; a widget that has a Qt layout places its children
// itself (a web view's internals, for one), so they are not controls; nor
// are overlays (markAsOverlay). Each control's Tag is the widget's dynamic
// property "Tag".
//
// The window must outlive the target. A minimised window has no inner area
// and reports 0 by 0.
#include "platform/windows/layout_target.h"

class QWidget;

namespace velmora {

class QtLayoutTarget final : public LayoutTarget {
public:
    explicit QtLayoutTarget(QWidget& window);

    float ScaleWidth() const override;
    float ScaleHeight() const override;
    LocaleNumbers localeNumbers() const override;
    void forEachControl(const std::function<void(LayoutControl&)>& visit) override;

private:
    QWidget& window_;
};

// The number format of the system locale.
LocaleNumbers systemLocaleNumbers();

// Marks widget as lying over its window rather than being one of the
// window's controls (a pane's find bar, its zoom box): it places itself, and
// a layout target lists neither it nor anything inside it.
void markAsOverlay(QWidget& widget);
bool isOverlay(const QWidget& widget);

}  // namespace velmora
