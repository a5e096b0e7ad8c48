// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Application.h"

#include "gui/Guarded.h"
#include "gui/MessageBoxes.h"

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    UseMessageBoxes();
    setApplicationName(QStringLiteral("Vistrel Pro"));
    setApplicationDisplayName(QStringLiteral("Vistrel Pro"));
    setApplicationVersion(QStringLiteral(VISTREL_VERSION));
}

bool Application::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    Guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
