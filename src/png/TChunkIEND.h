// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "png/TChunk.h"

class TChunkIEND : public TChunk {
public:
    explicit TChunkIEND(TPNGObject& owner);
};
