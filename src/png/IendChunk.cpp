// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/IendChunk.h"

IendChunk::IendChunk(PngWriter& owner) : PngChunk(owner, "IEND") {}
