#pragma once
#include <memory>

#include "platform/browser/browser_pane.h"

namespace velmora {

class WebEngineBrowser;

// A Qt WebEngine view whose page is one of browser's, which must outlive it.
std::unique_ptr<BrowserPane> createWebEnginePane(WebEngineBrowser& browser, QWidget* parent);

}  // namespace velmora
