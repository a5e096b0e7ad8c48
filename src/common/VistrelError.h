// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <stdexcept>

// Every failure the user may be told about travels as this error; its text is what the
// error report shows.
class VistrelError : public std::runtime_error {
public:
    explicit VistrelError(const QString& message)
        : std::runtime_error(message.toStdString()), FMessage(message) {}

    const QString& message() const { return FMessage; }

private:
    QString FMessage;
};
