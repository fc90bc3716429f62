#pragma once
// Keeps the controls of a window in proportion to the window's size.
// ResizeInit records the window's inner size and writes each control's
// geometry into its Tag; ResizeForm rescales every control from its Tag by
// the ratio of the current inner size to the recorded one. Rescaling always
// starts from the tags, so no number of resizes drifts.
//
// The recorded size belongs to this object, whichever window it is given;
// the geometry lives in the controls' tags.
#include <cstdint>

#include "platform/windows/layout_target.h"

namespace velmora {

class ProportionalLayout {
public:
    // Throws LayoutError, before any Tag is written, when a scale size does
    // not fit a 32-bit integer after rounding; both recorded sizes are then
    // left as they were. A control whose geometry cannot be read or written
    // keeps its old Tag.
    void ResizeInit(LayoutTarget& FormName);

    // Throws LayoutError, before any control is touched, when a ratio cannot
    // be computed (nothing recorded yet, or a recorded size of 0). A control
    // without a move, one that refuses its values, or one whose scaled
    // values overflow stays where it is.
    void ResizeForm(LayoutTarget& FormName);

    std::int32_t InitScaleWidth() const { return initScaleWidth_; }
    std::int32_t InitScaleHeight() const { return initScaleHeight_; }

private:
    std::int32_t initScaleWidth_ = 0;
    std::int32_t initScaleHeight_ = 0;
};

}  // namespace velmora
