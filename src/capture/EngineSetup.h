#pragma once

// Prepares the process for the browser engine. Call first thing in main(), before the
// application object exists: the engine reads these settings when it starts.
void PrepareBrowserEngine();
