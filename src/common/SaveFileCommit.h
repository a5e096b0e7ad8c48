#pragma once

#include <QSaveFile>
#include <QString>

// Qt 6.4's QSaveFile::commit() renames the file over its target even when the last flush of its
// buffer failed (a full disk that took only part of it): the target is replaced by a truncated
// file and the commit reports success. This empties the buffer first and commits only a
// complete file. On failure the temporary file is dropped, the target is left as it was, and
// `reason` (when given) says why.
bool CommitComplete(QSaveFile& file, QString* reason = nullptr);
