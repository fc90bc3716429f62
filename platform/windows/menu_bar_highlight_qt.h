#pragma once
// A menu bar whose items have no menus of their own (each acts when chosen)
// still shows where the keyboard or the mouse is on it: the item under the
// mouse, or the one Alt and the arrow keys reached, is drawn highlighted.
// Qt's styles highlight a bar item only while its menu is open, so without
// this nothing tells the user that Alt gave the bar the keyboard.
class QMenuBar;

namespace velmora {

// Owned by bar from then on.
void highlightMenuBarItems(QMenuBar& bar);

}  // namespace velmora
