// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/BrowserSizes.h"
#include "capture/CaptureJob.h"
#include "output/PictureOptions.h"

class RegistryKey;

// The fourteen saved values as the program uses them; the defaults are what a first start has.
struct StoredSettings {
    int resolution = DefaultResolutionChoice; // 1, 2 or 3
    bool showIE = false;
    // Every screen as it looks, fixed elements and all.
    bool keepFixedElements = false;
    // Out of sight: Default (headless Chromium) or Qt.
    BrowserEngine engine = BrowserEngine::Default;
    PictureOptions picture;
};

// Reads the values in their saved order into `settings`, each number held within its field's
// limits. Stops at the first value that is missing or of another type by throwing VistrelError;
// what was read before it stays in `settings`.
void ReadStoredSettings(RegistryKey& key, StoredSettings& settings);
// The values saved beside the fourteen; their defaults where missing or unreadable.
bool ReadKeepFixed(RegistryKey& key);
BrowserEngine ReadCaptureEngine(RegistryKey& key);
void WriteCaptureEngine(RegistryKey& key, BrowserEngine engine);
// Writes all fourteen and the ones beside them; stops at the first write that fails
// (VistrelError).
void WriteStoredSettings(RegistryKey& key, const StoredSettings& settings);

// The settings a run starts with: the saved values, or, where they cannot all be read (a first
// start, a value of another type), what could be read with defaults for the rest, which are
// then saved. Throws VistrelError when the settings key cannot be created.
StoredSettings LoadStoredSettings();
