// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

enum class EngineUse {
    Interactive, // someone may browse in the view: frames at the screen's rate
    Unattended,  // only captures: frames as fast as the engine makes them
};

// Prepares the process for the browser engine. Call first thing in main(), before the
// application object exists: the engine reads these settings when it starts.
// Unless verbose, the engine keeps its own logging to itself.
void PrepareBrowserEngine(EngineUse use = EngineUse::Interactive, bool verbose = true);
// Whether the engines' own messages are shown, as PrepareBrowserEngine was told.
bool EngineMessagesShown();
