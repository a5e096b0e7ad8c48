// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/PngWriter.h"

#include "common/TargetFile.h"
#include "common/VistrelError.h"
#include "png/IdatChunk.h"
#include "png/IendChunk.h"
#include "png/IhdrChunk.h"

#include <QThread>

static const char Signature[8] = {char(137), 80, 78, 71, 13, 10, 26, 10};

PngWriter::PngWriter() = default;

PngWriter::~PngWriter() = default;

void PngWriter::Assign(const QImage& bitmap) {
    auto header = std::make_unique<IhdrChunk>(*this);
    header->SetImage(bitmap);
    // The old content goes only once the new picture has been taken.
    FChunks.clear();
    FChunks.push_back(std::move(header));
    FChunks.push_back(std::make_unique<IdatChunk>(*this));
    FChunks.push_back(std::make_unique<IendChunk>(*this));
}

void PngWriter::SaveToStream(QIODevice& stream) const {
    // A signature alone would be a file that no reader opens.
    if (!Header()) {
        throw VistrelError(QStringLiteral("There is no picture to write as PNG"));
    }
    PngChunk::WriteBytes(stream, Signature, sizeof Signature);
    for (const auto& chunk : FChunks) {
        chunk->SaveToStream(stream);
    }
}

void PngWriter::SaveToFile(const QString& fileName) const {
    WriteFileAtomically(fileName, [this](QIODevice& device) { SaveToStream(device); });
}

const IhdrChunk* PngWriter::Header() const {
    for (const auto& chunk : FChunks) {
        if (const auto* header = dynamic_cast<const IhdrChunk*>(chunk.get())) {
            return header;
        }
    }
    return nullptr;
}

int PngWriter::EffectiveThreadCount() const {
    return FThreadCount > 0 ? FThreadCount : qMax(1, QThread::idealThreadCount());
}
