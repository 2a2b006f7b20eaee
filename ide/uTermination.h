#pragma once
// A session that ends (or a test) asks the IDE to end with SIGTERM. The
// windows are closed the way their close buttons close them, from the event
// loop, so the settings are written and a changed script is asked about. A
// request while a start-up box is open closes the box and is remembered, so
// that start-up can stop there; a further request while one is still being
// handled (a box at exit that nobody answers) ends the process at once.
class QApplication;

// Call once, right after the application object exists.
void CloseWindowsOnTermination(QApplication &app);

// Whether SIGTERM has asked the program to end.
bool TerminationRequested();
