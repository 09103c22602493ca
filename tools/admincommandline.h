#pragma once

#include <QStringList>

/**
 * Runs one command of tressalin-admin (arguments as the program received them,
 * program name first). Messages go to stdout, errors to stderr, both in
 * Portuguese. Returns the exit status: 0 success, 1 failure (or a refused check),
 * 2 a command line that cannot be understood.
 */
int RunAdminCommand(const QStringList& arguments);
