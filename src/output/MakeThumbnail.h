#pragma once

#include <QString>

enum class ThumbnailTarget { Bmp = 1, Png = 2, Jpeg = 3, Preview = 4 };

// Makes the thumbnail from the working picture with the thumbnail page's options, then saves
// it (an empty name asks with the save dialog) or shows it in the viewer.
void MakeThumbnail(ThumbnailTarget target, const QString& name);
