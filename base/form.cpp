#include "base/form.h"

namespace velmora {

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/velmora/velmora.ico"));
}

Form::Form(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

}  // namespace velmora
