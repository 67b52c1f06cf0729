#pragma once

#include <cmath>

// What the card and notes pages share: the printout is designed in
// millimetres and in screen pixels of a 96 dpi screen, and suit pictures
// have one size on both.
namespace pagemetrics {

inline constexpr double kMmPerInch = 25.4;
inline constexpr double kScreenDpi = 96;
inline constexpr double kPictureScreenWidth = 11;
inline constexpr double kPictureScreenHeight = 12;

// Millimetres as dots of a device of the given resolution.
inline int dots(double mm, double dpi) {
    return static_cast<int>(std::lround(mm * dpi / kMmPerInch));
}

}  // namespace pagemetrics
