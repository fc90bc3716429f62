#pragma once
// platform/browser/: the panes and everything a page can ask of them. Uses
// system/ only; the windows reach it through platform.h.
//
// An embedded web view that loads an address. The program only ever tells it
// where to go; what the page does after that is the engine's business.
#include <memory>
#include <string>

class QWidget;

namespace velmora {

class BrowserPane {
public:
    virtual ~BrowserPane() = default;
    // The pane's widget, owned by the parent it was created with.
    virtual QWidget* widget() = 0;
    // Starts loading url and returns at once; never waits for the page.
    virtual void Navigate2(const std::string& url) = 0;
    // Lets the user drive the pane as a browser from its window: reload,
    // stop, back and forward, zoom, find in page and print. For the panes a
    // user reads; a pane nobody sees goes without. Call once.
    virtual void enableUserControls() = 0;
    // For a pane nobody sees: whatever its pages play stays silent, on
    // every page it loads from now on. Nobody could find the sound to stop it.
    virtual void muteAudio() = 0;
};

}  // namespace velmora
