// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A picture that acts on a click (menu pictures, the preview image), with the hand cursor.
class ClickableImage : public QLabel {
    Q_OBJECT
public:
    explicit ClickableImage(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
