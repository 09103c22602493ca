#pragma once

#include <QStringList>

class QTextStream;

/**
 * Runs one command of tressalin-admin (arguments as the program received them,
 * program name first). Messages go to stdout, errors to stderr, both in
 * Portuguese. Returns the exit status: 0 success, 1 failure (or a refused check),
 * 2 a command line that cannot be understood.
 */
int RunAdminCommand(const QStringList& arguments);

/** The tool's standard output and error, shared by every command. */
QTextStream& Out();
QTextStream& Err();
