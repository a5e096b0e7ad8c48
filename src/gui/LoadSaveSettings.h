// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class MainWindow;

// Copies the fourteen settings between the settings file and the main window's controls.
void LoadSaveSettings(MainWindow* form, bool load, bool save);
void UpdateThumbEditStates(MainWindow* form);
