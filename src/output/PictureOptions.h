// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/Thumbnail.h"

// The range and first value of a number the user sets in a spin edit; the settings file and the
// command line go through the same limits.
struct SpinLimits {
    int min;
    int max;
    int initial;
};

namespace OptionLimits {
inline constexpr SpinLimits CropHeight{1, 3000, 768};
inline constexpr SpinLimits JpegQuality{0, 100, 85};
inline constexpr SpinLimits ThumbWidth{1, 1024, 160};
inline constexpr SpinLimits ThumbHeight{1, 768, 180};
inline constexpr SpinLimits ThumbPercent{1, 100, 10};
} // namespace OptionLimits

// What shapes the files made from a captured page.
struct PictureOptions {
    bool crop = false; // keep only the top cropHeight rows of the picture
    int cropHeight = OptionLimits::CropHeight.initial;
    int jpegQuality = OptionLimits::JpegQuality.initial;
    ThumbnailOptions thumbnail;
};
