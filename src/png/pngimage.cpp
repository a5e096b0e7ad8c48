// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/pngimage.h"

#include "common/VistrelError.h"
#include "common/TargetFile.h"
#include "png/TChunkIDAT.h"
#include "png/TChunkIEND.h"
#include "png/TChunkIHDR.h"

#include <QThread>

static const char Signature[8] = {char(137), 80, 78, 71, 13, 10, 26, 10};

TPNGObject::TPNGObject() = default;

TPNGObject::~TPNGObject() = default;

void TPNGObject::Assign(const QImage& bitmap) {
    auto header = std::make_unique<TChunkIHDR>(*this);
    header->SetImage(bitmap);
    // The old content goes only once the new picture has been taken.
    FChunks.clear();
    FChunks.push_back(std::move(header));
    FChunks.push_back(std::make_unique<TChunkIDAT>(*this));
    FChunks.push_back(std::make_unique<TChunkIEND>(*this));
}

void TPNGObject::SaveToStream(QIODevice& stream) const {
    // A signature alone would be a file that no reader opens.
    if (!Header()) {
        throw VistrelError(QStringLiteral("There is no picture to write as PNG"));
    }
    TChunk::WriteBytes(stream, Signature, sizeof Signature);
    for (const auto& chunk : FChunks) {
        chunk->SaveToStream(stream);
    }
}

void TPNGObject::SaveToFile(const QString& fileName) const {
    WriteFileAtomically(fileName, [this](QIODevice& device) { SaveToStream(device); });
}

const TChunkIHDR* TPNGObject::Header() const {
    for (const auto& chunk : FChunks) {
        if (const auto* header = dynamic_cast<const TChunkIHDR*>(chunk.get())) {
            return header;
        }
    }
    return nullptr;
}

int TPNGObject::EffectiveThreadCount() const {
    return FThreadCount > 0 ? FThreadCount : qMax(1, QThread::idealThreadCount());
}
