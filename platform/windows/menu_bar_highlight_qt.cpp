#include "platform/windows/menu_bar_highlight_qt.h"

#include <QMenuBar>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace velmora {

namespace {

// The application's style, with a bar item that is selected drawn as the
// style draws an item whose menu is open.
class MenuBarHighlightStyle final : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element != CE_MenuBarItem || !item || !(item->state & State_Selected)
            || !(item->state & State_Enabled)) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        QStyleOptionMenuItem selected = *item;
        selected.state |= State_Sunken;
        QProxyStyle::drawControl(element, &selected, painter, widget);
    }
};

}  // namespace

void highlightMenuBarItems(QMenuBar& bar)
{
    auto* style = new MenuBarHighlightStyle;
    style->setParent(&bar);
    bar.setStyle(style);
}

}  // namespace velmora
