// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/FlatGroupBox.h"

#include "output/ColorRef.h"

#include <QPainter>

FlatGroupBox::FlatGroupBox(QWidget* parent) : QGroupBox(parent) {}

FlatGroupBox::FlatGroupBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void FlatGroupBox::setColorBorder(quint32 colorRef) {
    FColorBorder = colorRef;
    update();
}

void FlatGroupBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics fm(font());
    const int captionHeight = fm.height();
    const int top = title().isEmpty() ? 0 : captionHeight / 2;
    const QColor border = isEnabled() ? ColorRef::ToColor(FColorBorder)
                                      : palette().color(QPalette::Disabled, QPalette::WindowText);
    const QRect frame(0, top, width(), height() - top);
    p.setPen(border);
    p.setBrush(Qt::NoBrush);
    if (title().isEmpty()) {
        p.drawRect(frame.adjusted(0, 0, -1, -1));
        return;
    }
    const int textLeft = 8;
    const int textWidth = fm.size(Qt::TextShowMnemonic, title()).width();
    // The top edge leaves a gap for the caption instead of striking through it.
    p.drawLine(frame.topLeft(), QPoint(textLeft - 2, frame.top()));
    p.drawLine(QPoint(textLeft + textWidth + 2, frame.top()), frame.topRight());
    p.drawLine(frame.topRight(), frame.bottomRight());
    p.drawLine(frame.bottomRight(), frame.bottomLeft());
    p.drawLine(frame.bottomLeft(), frame.topLeft());
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(QRect(textLeft, 0, textWidth, captionHeight),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, title());
}
