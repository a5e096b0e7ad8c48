// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchShard.h"

#include <QRegularExpression>

std::optional<BatchShard> ReadBatchShard(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,9})/(\\d{1,9})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const BatchShard shard{match.captured(1).toInt(), match.captured(2).toInt()};
    if (shard.part < 1 || shard.part > shard.parts)
        return std::nullopt;
    return shard;
}
