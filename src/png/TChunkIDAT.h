// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "png/TChunk.h"

class TChunkIHDR;
class TIdatSink;

// Writes the picture's filtered, deflated rows as a run of IDAT chunks straight to the stream;
// the chunk object itself never holds the compressed data.
class TChunkIDAT : public TChunk {
public:
    explicit TChunkIDAT(TPNGObject& owner);

    void SaveToStream(QIODevice& stream) const override;

    bool UsesParallelPath(const TChunkIHDR& header) const;

private:
    void WriteSequential(const TChunkIHDR& header, TIdatSink& sink) const;
};
