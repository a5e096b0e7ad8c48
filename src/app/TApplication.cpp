// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TApplication.h"

#include "app/Guarded.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Vistrel Pro"));
    setApplicationDisplayName(QStringLiteral("Vistrel Pro"));
    setApplicationVersion(QStringLiteral(VISTREL_VERSION));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    Guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
