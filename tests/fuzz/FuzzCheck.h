// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// A broken invariant has to end the process, or libFuzzer would not keep the input.
[[noreturn]] inline void FuzzFail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(condition) ((condition) ? void(0) : FuzzFail(#condition, __FILE__, __LINE__))

// Takes typed values off the front of the input; once it is used up, every value is 0, so any
// input, however short, is a complete case.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size)
        : FData(reinterpret_cast<const char*>(data)), FSize(qsizetype(size)) {}

    quint8 Byte() { return FPos < FSize ? quint8(FData[FPos++]) : 0; }
    quint32 Number(int bytes) {
        quint32 value = 0;
        for (int i = 0; i < bytes; ++i) {
            value = value << 8 | Byte();
        }
        return value;
    }
    // A value in [low, high].
    quint32 Range(quint32 low, quint32 high) {
        const quint32 span = high - low;
        const int bytes = span < 0x100 ? 1 : span < 0x10000 ? 2 : span < 0x1000000 ? 3 : 4;
        const quint32 raw = Number(bytes);
        return span == 0xFFFFFFFFu ? raw : low + raw % (span + 1);
    }
    // Up to the next byte 0xFF (not included), or the rest.
    QByteArray Piece() {
        qsizetype end = FPos;
        while (end < FSize && quint8(FData[end]) != 0xFF) {
            ++end;
        }
        const QByteArray piece(FData + FPos, end - FPos);
        FPos = qMin(FSize, end + 1);
        return piece;
    }
    QByteArray Rest() {
        const QByteArray rest(FData + FPos, FSize - FPos);
        FPos = FSize;
        return rest;
    }
    qsizetype Left() const { return FSize - FPos; }

private:
    const char* FData;
    qsizetype FSize;
    qsizetype FPos = 0;
};
