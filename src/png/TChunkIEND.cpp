#include "png/TChunkIEND.h"

TChunkIEND::TChunkIEND(TPNGObject& owner) : TChunk(owner, "IEND") {}
