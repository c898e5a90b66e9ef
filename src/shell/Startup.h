#pragma once

class QApplication;

// Runs the start procedure and then the event loop; returns the exit code.
int runProgram(QApplication &app);
