// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// Writes beyond `bytes` fail with EFBIG while it lives, as on a full disk (root ignores modes);
// the signal that would end the process meanwhile is ignored.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    qint64 FOld = 0;
    void (*FOldHandler)(int) = nullptr;
};
