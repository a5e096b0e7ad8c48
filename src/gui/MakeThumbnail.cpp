// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/MakeThumbnail.h"

#include "gui/PictureViewer.h"
#include "gui/SavePicture.h"

void MakeThumbnail(const QImage& picture, const PictureOptions& options, ThumbnailTarget target,
                   const QString& name) {
    const QImage thumbnail = BuildThumbnail(picture, options.thumbnail);
    switch (target) {
    case ThumbnailTarget::Bmp:
        SavePictureAsBmp(thumbnail, name);
        break;
    case ThumbnailTarget::Png:
        SavePictureAsPng(thumbnail, name);
        break;
    case ThumbnailTarget::Jpeg:
        SavePictureAsJpeg(thumbnail, name, options.jpegQuality);
        break;
    case ThumbnailTarget::Preview:
        ViewForm->SetPicture(thumbnail);
        ViewForm->ShowModal();
        ViewForm->SetPicture(QImage());
        break;
    }
}
