#pragma once
#include <memory>

#include "platform/browser_pane.h"

namespace velmora {

// A Qt WebEngine view in the engine's default profile, which keeps nothing on
// disk: no page, cookie or cache outlives the run.
std::unique_ptr<BrowserPane> createWebEnginePane(QWidget* parent);

}  // namespace velmora
