// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/SavePicture.h"

#include "output/JpegEncoder.h"
#include "output/PictureFiles.h"

#include <QApplication>
#include <QFileDialog>

QString DefaultSaveName;

namespace {

SaveDialogHook& DialogHook() {
    static SaveDialogHook hook;
    return hook;
}

QString RunSaveDialog(const QString& filter, const QString& suffix) {
    const SaveDialogRequest request{filter, suffix, DefaultSaveName};
    if (DialogHook()) {
        return DialogHook()(request);
    }
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The filter lists every file whatever its type; its text only names the format.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(filter + QStringLiteral(" (*)"));
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

// The given name, or the user's choice; empty when the user cancels.
QString ChooseTarget(const QString& name, const QString& filter, const QString& suffix) {
    return name.isEmpty() ? RunSaveDialog(filter, suffix) : name;
}

} // namespace

void SetSaveDialogHook(SaveDialogHook hook) {
    DialogHook() = std::move(hook);
}

void SavePictureAsBmp(const QImage& bitmap, const QString& name) {
    RequirePicture(bitmap);
    const QString target = ChooseTarget(
        name, QCoreApplication::translate("Window", "BMP位图 (*.bmp)"), QStringLiteral("bmp"));
    if (target.isEmpty()) {
        return;
    }
    WriteBmpFile(bitmap, target);
}

void SavePictureAsPng(const QImage& bitmap, const QString& name) {
    RequirePicture(bitmap);
    const QString target = ChooseTarget(
        name, QCoreApplication::translate("Window", "PNG 文件(*.PNG)"), QStringLiteral("png"));
    if (target.isEmpty()) {
        return;
    }
    WritePngFile(bitmap, target);
}

void SavePictureAsJpeg(const QImage& bitmap, const QString& name, int quality) {
    RequirePicture(bitmap);
    // Encoded before any dialog, so an encoder error comes before the user picks a file.
    const QByteArray bytes = EncodeJpeg(bitmap, quality);
    const QString target =
        ChooseTarget(name, QCoreApplication::translate("Window", "JPEG 图象文件 (*.jpg)"),
                     QStringLiteral("jpg"));
    if (target.isEmpty()) {
        return;
    }
    WriteJpegFile(bytes, target);
}
