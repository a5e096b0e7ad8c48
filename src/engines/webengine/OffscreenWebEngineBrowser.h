// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engines/webengine/WebEngineBrowser.h"

#include <QSize>
#include <QWidget>

#include <memory>

// The widget a view out of sight lives in: shown without appearing on screen, since a hidden
// view paints nothing. A base of its own, so that it is made before the browser and taken down
// after it (the view is its child).
class OffscreenHost {
protected:
    explicit OffscreenHost(const QSize& size);
    std::unique_ptr<QWidget> FHost;
};

// Qt WebEngine for a capture nobody watches (command-line and batch runs).
class OffscreenWebEngineBrowser : private OffscreenHost, public WebEngineBrowser {
public:
    explicit OffscreenWebEngineBrowser(const QSize& size, QWebEngineProfile* profile = nullptr);
};
