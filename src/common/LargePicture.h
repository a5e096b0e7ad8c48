// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

// A picture of a whole page is often hundreds of megabytes. Made the ordinary way, every one of
// its 4 KiB pages is faulted in by the first write: on a virtual machine 160 MB took half a
// second that way. This places large pictures on 2 MiB-aligned memory that the kernel may back
// with huge pages (transparent huge pages in "madvise" mode), which took 15 ms for the same
// picture. Every pixel is set to `fill`. A null image means there was not enough memory.
QImage NewLargePicture(const QSize& size, QImage::Format format, uchar fill);
