#pragma once
// Settings the browser engine takes only before the application object
// exists.
namespace velmora {

// Keeps the engine from talking to the internet on its own (component
// updates, safe-browsing lists, field trials): the program's only traffic is
// the pages it is told to load. Call first thing in main().
void prepareBrowserEngine();

}  // namespace velmora
