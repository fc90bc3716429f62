#pragma once
// The one-instance rule of the program's windows: each kind is created and
// loaded on first use, brought forward when shown again while open, and
// created afresh after it has been closed.
#include <functional>
#include <map>
#include <memory>

#include <QPointer>

#include "base/form.h"

namespace velmora {

class FailureHandler;

class WindowRegistry {
public:
    using Factory = std::function<std::unique_ptr<Form>()>;

    explicit WindowRegistry(FailureHandler& failures);

    void define(FormKind kind, Factory factory);

    // Creates and loads the form if it is not open, then shows it and brings
    // it forward. A failure in the load step goes to the failure handler and
    // the form is shown all the same. Returns nullptr when the form was closed
    // during its own load step.
    Form* show(FormKind kind);

    // Closes the form and forgets it. Safe from inside the form's own
    // handlers, including its load step: the object is deleted later, from
    // the event loop, never under code of its own that is still running.
    void unload(FormKind kind);

    Form* find(FormKind kind) const;

private:
    FailureHandler& failures_;
    std::map<FormKind, Factory> factories_;
    std::map<FormKind, QPointer<Form>> open_;
};

}  // namespace velmora
