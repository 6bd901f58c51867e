#pragma once

class QWidget;

namespace kq {

// Start-up after the application object exists: installs nothing, reads StartBrush of the data
// folder's SysSetup.Dat and creates the first window (the punch window when StartBrush is set,
// otherwise the main window). Returns nullptr after showing the error when the data cannot be
// opened; the program then stops before any window opens.
QWidget* StartProgram();

// The first window: the punch window when startBrush is set (closing it ends the program),
// otherwise the main window.
QWidget* CreateFirstWindow(bool startBrush);

// Creates (when missing) and opens the data folder of this run (EnsureDataFolder): takes it for the whole run
// (ClaimDataFolder, as the program), creates missing first-run content and opens the connection
// KQDataBase. Throws KqError.
void OpenDataFolder();

} // namespace kq
