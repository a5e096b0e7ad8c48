// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class TMainForm;

// Copies the fourteen settings between the settings file and the main window's controls.
void LoadSaveSettings(TMainForm* form, bool load, bool save);
void UpdateThumbEditStates(TMainForm* form);
