// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdio>

// One line of progress on a terminal, rewritten in place and cleared at the end; nothing at all
// when the stream is not a terminal (a log or a pipe gets only the real messages).
class ProgressLine {
public:
    explicit ProgressLine(std::FILE* stream = stderr);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    bool Shown() const { return FTerminal; }
    void Show(const QString& text);
    // Removes the line, so that a message printed next starts on a clean line.
    void Clear();
    // Clears the line and writes `text` (whole lines) in its place.
    void Print(const QString& text);

private:
    std::FILE* FStream;
    bool FTerminal = false;
    bool FVisible = false;
    QString FLast;
};
