// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Which line of a batch writes which file. Two lines writing one file would race, and the
// later picture would replace the earlier without a word; the same line written twice is one
// capture.
class BatchTargets {
public:
    enum class Claim { New, Repeat, Taken };
    struct Outcome {
        Claim claim = Claim::New;
        int otherLine = 0; // the line that claimed the file first
        QString file;      // as this line names it
    };

    // Claims `files` for line `number`, whose switches are `arguments`.
    Outcome Take(int number, const QStringList& arguments, const QStringList& files);

private:
    struct Owner {
        int line = 0;
        QStringList arguments;
    };
    QHash<QString, Owner> FOwners; // by absolute, cleaned path
};
