// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "png/RowGate.h"

#include <QImage>
#include <QString>

#include <thread>

// A PNG file written while its picture is still being captured: the rows that no later screen
// can change are deflated on other threads while the engine paints the next screens. The file
// replaces its target only when complete, as every file of the program does.
class StreamedPngFile {
public:
    explicit StreamedPngFile(QString target);
    ~StreamedPngFile();
    StreamedPngFile(const StreamedPngFile&) = delete;
    StreamedPngFile& operator=(const StreamedPngFile&) = delete;

    // The picture as first made (all its rows still to come). It must stay alive, at the same
    // size, until Finish or Abandon; its owner goes on writing the rows that are not yet final.
    void Begin(const QImage& picture);
    bool Begun() const { return FWriter.joinable(); }
    void RowsFinal(int rows);
    // Every row is final: waits for the file. Throws VistrelError when it could not be written.
    void Finish();
    // The capture failed: no file is left.
    void Abandon();

private:
    void Write();

    QString FTarget;
    QImage FRows; // the same pixels as the picture, read-only, without sharing them
    int FHeight = 0;
    RowGate FGate;
    std::thread FWriter;
    QString FFailure;
};
