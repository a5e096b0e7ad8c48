// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/webengine/OffscreenWebEngineBrowser.h"

OffscreenHost::OffscreenHost(const QSize& size) : FHost(std::make_unique<QWidget>()) {
    FHost->setAttribute(Qt::WA_DontShowOnScreen);
    FHost->resize(size);
}

OffscreenWebEngineBrowser::OffscreenWebEngineBrowser(const QSize& size, QWebEngineProfile* profile)
    : OffscreenHost(size), WebEngineBrowser(nullptr, profile) {
    Widget()->setParent(FHost.get());
    FHost->show();
}
