#pragma once
// A password typed on the terminal: the terminal's echo is off while it is typed.
#include <string>

namespace storeadjust {

// True when standard input is a terminal (a person types); false for a pipe or a file (a script).
bool StandardInputIsTerminal();

// Turns the terminal's echo off, shows the prompt on standard error and reads one line; the echo
// is restored afterwards, also when reading fails.
std::string ReadHiddenLine(const std::string& prompt);

// Bars core dumps of this process (and attaching a debugger as the same user): a program that
// holds a password, typed or given on its command line or in a connection string, would otherwise
// write it to disk when it crashes. Called first thing in main.
void KeepSecretsOutOfCoreDumps();

}  // namespace storeadjust
