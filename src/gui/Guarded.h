// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ErrorReport.h"
#include "common/VistrelError.h"

#include <exception>
#include <new>

// Every event handler runs through this: an error that leaves the handler skips its rest and
// reaches the error report; the program goes on.
template <class Handler> void Guarded(Handler&& handler) {
    try {
        handler();
    } catch (const VistrelError& error) {
        ShowErrorReport(error.message());
    } catch (const std::bad_alloc&) {
        ShowErrorReport(QStringLiteral("Out of memory"));
    } catch (const std::exception& error) {
        ShowErrorReport(QString::fromLocal8Bit(error.what()));
    }
}
