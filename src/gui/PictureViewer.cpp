// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/PictureViewer.h"

#include "gui/FormBuilder.h"
#include "gui/PictureLabel.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

PictureViewer* ViewForm = nullptr;

PictureViewer::PictureViewer(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
    ViewForm = this;
    setObjectName(QStringLiteral("ViewForm"));
    TranslateWindowTitle(this, QT_TRANSLATE_NOOP("Window", "Vistrel Pro 图片查看器"));
    QFont small = font();
    small.setPixelSize(12);
    setFont(small);
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(silver);
    resize(696, 480);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setBackgroundRole(QPalette::Window);
    FContents = new QWidget;
    FContents->setObjectName(QStringLiteral("ScrollBox1Contents"));
    pictureLabel = new PictureLabel(FContents);
    pictureLabel->setObjectName(QStringLiteral("pictureLabel"));
    ScrollBox1->setWidget(FContents);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(19);
    StatusBar1->setSizeGripEnabled(false);
    const int widths[2] = {200, 50};
    for (int panel = 0; panel < 2; ++panel) {
        FPanels[panel] = new QLabel(StatusBar1);
        FPanels[panel]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(panel));
        FPanels[panel]->setFixedWidth(widths[panel]);
        StatusBar1->addWidget(FPanels[panel]);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ScrollBox1, 1);
    layout->addWidget(StatusBar1);
}

PictureViewer::~PictureViewer() {
    if (ViewForm == this)
        ViewForm = nullptr;
}

void PictureViewer::SetPicture(const QImage& picture) {
    pictureLabel->SetPicture(picture.copy());
    PlaceImage();
}

// Without a window manager nothing maximises a window: it then takes the screen by itself.
int PictureViewer::ShowModal() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    return exec();
}

QString PictureViewer::PanelText(int panel) const {
    return FPanels[panel]->text();
}

void PictureViewer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        WindowShown();
}

void PictureViewer::WindowShown() {
    setWindowState(windowState() | Qt::WindowMaximized);
    PlaceImage();
    const QSize size = pictureLabel->Picture().size();
    FPanels[0]->setText(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()));
}

// The window may reach its maximised size only after it is shown.
void PictureViewer::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceImage();
}

// Centred in the window's client area, less a scroll bar where the picture needs one. The
// height is the window's, status bar included, so a small picture sits a little low.
// Home and End go to the picture's top and bottom; with Ctrl to its top left and bottom right
// corners.
void PictureViewer::keyPressEvent(QKeyEvent* event) {
    const bool home = event->key() == Qt::Key_Home;
    if (!home && event->key() != Qt::Key_End) {
        QDialog::keyPressEvent(event);
        return;
    }
    QScrollBar* vertical = ScrollBox1->verticalScrollBar();
    vertical->setValue(home ? vertical->minimum() : vertical->maximum());
    if (event->modifiers() & Qt::ControlModifier) {
        QScrollBar* horizontal = ScrollBox1->horizontalScrollBar();
        horizontal->setValue(home ? horizontal->minimum() : horizontal->maximum());
    }
}

void PictureViewer::PlaceImage() {
    const QSize picture = pictureLabel->Picture().size();
    const QSize area = ScrollBox1->size();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ScrollBox1);
    bool vertical = picture.height() > area.height();
    const bool horizontal = picture.width() > area.width() - (vertical ? bar : 0);
    vertical = picture.height() > area.height() - (horizontal ? bar : 0);
    const int left = (width() - (vertical ? bar : 0) - picture.width()) / 2;
    const int top = (height() - (horizontal ? bar : 0) - picture.height()) / 2;
    pictureLabel->move(qMax(left, 0), qMax(top, 0));
    FContents->resize(pictureLabel->geometry().bottomRight().x() + 1,
                      pictureLabel->geometry().bottomRight().y() + 1);
}

void PictureViewer::closeEvent(QCloseEvent* event) {
    WindowClosing();
    QDialog::closeEvent(event);
}

// Escape ends the dialog without a close event; the next showing starts at the top left too.
void PictureViewer::done(int result) {
    WindowClosing();
    QDialog::done(result);
}

void PictureViewer::WindowClosing() {
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);
}
