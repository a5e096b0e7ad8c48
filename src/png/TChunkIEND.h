#pragma once

#include "png/TChunk.h"

class TChunkIEND : public TChunk {
public:
    explicit TChunkIEND(TPNGObject& owner);
};
