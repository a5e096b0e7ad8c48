// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSaveFile>
#include <QString>

#include <functional>

// Qt 6.4's QSaveFile::commit() renames the file over its target even when the last flush of its
// buffer failed (a full disk that took only part of it): the target is replaced by a truncated
// file and the commit reports success. This empties the buffer first and commits only a
// complete file. On failure the temporary file is dropped, the target is left as it was, and
// `reason` (when given) says why.
bool CommitComplete(QSaveFile& file, QString* reason = nullptr);

enum class FileAccess {
    AsUmask,   // what the user's umask allows: pictures and settings
    OwnerOnly, // 0600, from the moment it exists: the program's own working files
};

// The one way the program replaces a file: `write` fills a temporary file beside the target,
// which replaces the target only when complete. A `write` that throws, a full disk or a failed
// rename leave no partial file and the older file as it was; the result is then false and
// `reason` says why. A symbolic link of another user on the way is not written through.
bool WriteWholeFile(const QString& path, const std::function<void(QIODevice&)>& write,
                    QString* reason = nullptr, FileAccess access = FileAccess::AsUmask);

// A file device may take only part of a write without reporting anything (a full disk, a size
// limit); only the next write tells why, so this goes on until all is written or one fails
// (VistrelError with the device's reason).
void WriteAll(QIODevice& device, const char* data, qint64 size);
