// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

// The safety net behind the handlers' own guard: an error escaping any event delivery is
// reported instead of ending the process.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
