#include "app/form.h"

namespace velmora {

Form::Form(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

}  // namespace velmora
