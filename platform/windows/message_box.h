#pragma once
// platform/windows/: dialogs, the message pump, the layout target and window
// stacking. Uses no other room.
//
// Modal questions and non-modal notices, the two kinds of dialog the program
// shows.
#include <functional>
#include <string>

namespace velmora {

inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Asks with Yes and No, Yes the default, no icon; blocks until answered.
    // Returns IDYES or IDNO (closing the box counts as No).
    virtual int askYesNo(const std::string& prompt, const std::string& title) = 0;
};

}  // namespace velmora
