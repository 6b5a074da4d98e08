#pragma once

class QWidget;

// Tells the operator that the settings file could not be written: once for all the writes a
// dialog makes when it closes, and nothing when `allWritten`.
void ReportSettingsWrites(QWidget* parent, bool allWritten);
