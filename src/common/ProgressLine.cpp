// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ProgressLine.h"

#include <unistd.h>

ProgressLine::ProgressLine(std::FILE* stream)
    : FStream(stream), FTerminal(isatty(fileno(stream)) == 1) {}

ProgressLine::~ProgressLine() {
    Clear();
}

void ProgressLine::Show(const QString& text) {
    if (!FTerminal || text == FLast)
        return;
    FLast = text;
    std::fprintf(FStream, "\r\033[K%s", qPrintable(text));
    std::fflush(FStream);
    FVisible = true;
}

void ProgressLine::Clear() {
    if (!FVisible)
        return;
    std::fputs("\r\033[K", FStream);
    std::fflush(FStream);
    FVisible = false;
    FLast.clear();
}

void ProgressLine::Print(const QString& text) {
    Clear();
    std::fputs(qPrintable(text), FStream);
    std::fflush(FStream);
}
