// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

#include <array>

// The three browser sizes a capture can use, by their choice number (1, 2, 3).
inline constexpr int DefaultResolutionChoice = 2;
inline constexpr std::array<QSize, 3> BrowserSizes{QSize(1280, 1024), QSize(1024, 768),
                                                   QSize(800, 600)};

// An empty size for a number that names no choice.
constexpr QSize BrowserSizeOf(int choice) {
    return choice >= 1 && choice <= int(BrowserSizes.size()) ? BrowserSizes[choice - 1] : QSize();
}
