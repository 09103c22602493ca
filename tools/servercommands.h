#pragma once

#include <QStringList>

/** The help lines of the server commands, for the tool's general help. */
QString ServerCommandsHelp();

/** Whether the arguments (program name first) call a server command. */
bool IsServerCommand(const QStringList& arguments);

/**
 * Runs a server command: servidor criar|estacao add|import|demo|status,
 * preparar, atualizar, transmitir --servidor. Same exit statuses as
 * RunAdminCommand: 0 success, 1 failure, 2 a command line not understood.
 */
int RunServerCommand(const QStringList& arguments);
