#pragma once
// Designed geometry is in twips; at 96 dots per inch 15 twips are one pixel,
// and Qt's device-independent pixels are those pixels.
namespace velmora {

inline constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips)
{
    return twips / kTwipsPerPixel;
}

}  // namespace velmora
