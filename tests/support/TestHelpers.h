// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

// The message of the VistrelError that `action` throws, or "(no error)".
QString ErrorOf(const std::function<void()>& action);

// A loopback port nothing listens on (free when asked): where a connection is refused.
quint16 UnusedPort();
