#include "base/window_registry.h"

#include <stdexcept>

#include "base/failure_handler.h"

namespace velmora {

WindowRegistry::WindowRegistry(FailureHandler& failures) : failures_(failures) {}

void WindowRegistry::define(FormKind kind, Factory factory)
{
    factories_[kind] = std::move(factory);
}

Form* WindowRegistry::find(FormKind kind) const
{
    const auto it = open_.find(kind);
    return it == open_.end() ? nullptr : it->second.data();
}

Form* WindowRegistry::show(FormKind kind)
{
    if (Form* open = find(kind)) {
        if (open->isMinimized())
            open->showNormal();
        open->show();
        open->raise();
        open->activateWindow();
        return open;
    }
    const auto factory = factories_.find(kind);
    if (factory == factories_.end())
        throw std::logic_error("window kind without a factory");

    // Widgets are owned by Qt from here on: WA_DeleteOnClose or unload()
    // ends them. The registry only watches.
    Form* form = factory->second().release();
    open_[kind] = form;
    failures_.guard("加载窗口", [form] { form->Form_Load(); });
    if (find(kind) != form)
        return nullptr;
    form->show();
    return form;
}

void WindowRegistry::unload(FormKind kind)
{
    Form* form = find(kind);
    open_.erase(kind);
    if (form)
        form->close();  // WA_DeleteOnClose: deleted later, from the event loop
}

}  // namespace velmora
