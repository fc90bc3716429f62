#include "base/form.h"

#include "platform/windows/enter_clicks_button_qt.h"

namespace velmora {

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/velmora/velmora.ico"));
}

Form::Form(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    new EnterClicksButton(this);
}

}  // namespace velmora
