// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/FileSizeLimit.h"

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>

// Faults made real for the tests: a small file system that fills up or turns read-only, and
// what a folder holds before and after.
namespace Faults {

// A tmpfs of its own on a folder while this lives (tests run as root here). Where mounting is
// refused, isMounted() is false and the test skips.
class TmpfsMount {
public:
    TmpfsMount(const QString& folder, qint64 bytes);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool isMounted() const { return FMounted; }
    QString error() const { return FError; }
    QString path() const { return FFolder; }
    // Takes all free space but `leave` bytes (whole pages) with one file.
    bool FillLeaving(qint64 leave, const QString& fillerName = QStringLiteral(".filler"));
    bool RemountReadOnly();
    qint64 FreeBytes() const;

private:
    QString FFolder;
    bool FMounted = false;
    QString FError;
};

bool WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// Pixels that no coder can shrink, so that the file is as big as the picture.
QImage NoisePicture(int width, int height, quint32 seed = 1);

} // namespace Faults

#define FAULTS_REQUIRE_MOUNT(mount)                                                                \
    do {                                                                                           \
        if (!(mount).isMounted())                                                                  \
            QSKIP(qPrintable(QStringLiteral("no tmpfs here: ") + (mount).error()));                \
    } while (false)
