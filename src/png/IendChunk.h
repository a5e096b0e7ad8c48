// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "png/PngChunk.h"

class IendChunk : public PngChunk {
public:
    explicit IendChunk(PngWriter& owner);
};
