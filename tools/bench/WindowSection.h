#pragma once

#include <QString>

class SideBySide;

// The program's windows on the large library, each measured in a process of
// its own on Qt's offscreen platform: start-up to a usable main window (from
// the process's start), and the memory a query grid takes to show every book
// scrolled to its end. The bench runs itself with a probe option for each.
namespace WindowSection {

void run(SideBySide& bench, const QString& benchProgram, const QString& dir, int runs);
// Start-up and a grid's memory, for a program directory whose
// dat/library.ini names a library on a server: the server reached before
// sign-in, then the main window.
void startupOnServer(SideBySide& bench, const QString& benchProgram, const QString& dir, int runs);

// The probes the bench starts; argv[1] names one. Return the exit code, or
// -1 when argv[1] names none.
int probe(int argc, char** argv);

}  // namespace WindowSection
