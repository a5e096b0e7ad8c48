// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TApplication.h"

#include "gui/Guarded.h"
#include "gui/MessageBoxes.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    UseMessageBoxes();
    setApplicationName(QStringLiteral("Vistrel Pro"));
    setApplicationDisplayName(QStringLiteral("Vistrel Pro"));
    setApplicationVersion(QStringLiteral(VISTREL_VERSION));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    Guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
