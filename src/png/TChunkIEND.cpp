// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/TChunkIEND.h"

TChunkIEND::TChunkIEND(TPNGObject& owner) : TChunk(owner, "IEND") {}
