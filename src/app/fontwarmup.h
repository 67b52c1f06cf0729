#pragma once

// Loading the font configuration (parsing its files and mapping the font
// caches) is the largest single cost before the editor's first paint, and
// nothing else needs it until the first text is measured. It runs on a
// thread of its own from the start of main(), beside the construction of
// the application and the reading of the settings.

// Starts loading the font configuration, once per process.
void startFontConfigLoading();

// Waits until the loading started above is done; returns at once when none
// was started. Call before anything that measures or draws text, so that
// the toolkit finds the configuration loaded instead of loading a second
// one beside it.
void finishFontConfigLoading();
