// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/SaveFileCommit.h"

#include <QIODevice>
#include <QString>

#include <functional>

// '/' is the only folder separator; '\' and ':' are ordinary characters in a name.

// The name up to and including its last '/', or empty when it has none.
QString FolderPart(const QString& name);

// Creates the folder part of a target name with all missing parents, following no link of
// another user. A name without a folder part is written to the current folder, so there is
// nothing to create.
void EnsureTargetFolder(const QString& name);

// Writes through a temporary file beside the target that replaces it only when complete, so a
// failed write leaves neither a partial file nor a damaged older one.
void WriteFileAtomically(const QString& target, const std::function<void(QIODevice&)>& write,
                         FileAccess access = FileAccess::AsUmask);
