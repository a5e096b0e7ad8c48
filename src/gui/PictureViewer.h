// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QImage>

class QLabel;
class QScrollArea;
class QStatusBar;
class PictureLabel;

// The picture viewer: a maximised window that shows a picture at full size, centred when it
// is smaller than the window, scrollable when larger, with its size in the status bar.
class PictureViewer : public QDialog {
    Q_OBJECT

public:
    explicit PictureViewer(QWidget* parent = nullptr);
    ~PictureViewer() override;

    QStatusBar* StatusBar1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    PictureLabel* pictureLabel = nullptr;

    // The viewer keeps its own copy.
    void SetPicture(const QImage& picture);
    int ShowModal();
    QString PanelText(int panel) const;

    void WindowShown();
    void WindowClosing();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PlaceImage();

    QWidget* FContents = nullptr;
    QLabel* FPanels[2] = {nullptr, nullptr};
};

extern PictureViewer* ViewForm;
