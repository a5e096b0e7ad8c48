// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/MessageBoxes.h"

#include "common/ErrorReport.h"

#include <QMessageBox>

void UseMessageBoxes() {
    SetMessagePresenter([](MessageKind kind, const QString& text) {
        QMessageBox box(kind == MessageKind::Error ? QMessageBox::Critical
                                                   : QMessageBox::Information,
                        QStringLiteral("Vistrel Pro"), text, QMessageBox::Ok);
        box.exec();
    });
}
