// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "png/PngChunk.h"

class IhdrChunk;
class IdatSink;

// Writes the picture's filtered, deflated rows as a run of IDAT chunks straight to the stream;
// the chunk object itself never holds the compressed data.
class IdatChunk : public PngChunk {
public:
    explicit IdatChunk(PngWriter& owner);

    void SaveToStream(QIODevice& stream) const override;

    bool UsesParallelPath(const IhdrChunk& header) const;

private:
    void WriteSequential(const IhdrChunk& header, IdatSink& sink) const;
};
