#pragma once

#include <QString>

// The version of the browser engine that hosts the capture, read afresh on every call.
QString ReadBrowserVersion();
