#pragma once
// Whether anything may have arrived for the GUI thread's event loop (input,
// a posted event, a window system request) since the message pump last ran
// the loop, asked cheaply enough to ask after every downloaded block.
namespace velmora {

// True when something may be waiting, and whenever it cannot be told.
bool windowEventsMayHaveArrived();

// Called just before the pump runs the loop: whatever arrives from here on
// counts as new.
void markWindowEventsSeen();

}  // namespace velmora
