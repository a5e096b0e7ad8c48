// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// The share of a batch file that one of several machines runs: "K/N" takes the lines whose
// index modulo N is K - 1, so N runs of the same file together take every line exactly once.
struct BatchShard {
    int part = 1;  // K, from 1
    int parts = 1; // N

    bool Takes(int index) const { return index % parts == part - 1; }
};

// "K/N" with 1 <= K <= N; nothing for any other text.
std::optional<BatchShard> ReadBatchShard(const QString& text);
