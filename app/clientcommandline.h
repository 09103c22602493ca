#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;

/** What --version prints: the program's version and the package's, "tressalin 01.006 (1.6.0)". */
QString ClientVersionText();

/**
 * Answers -v/--version and -h/--help of the client on out, before any
 * application object exists, so neither needs a display. Returns the exit
 * status when the command line was answered and the program should end;
 * std::nullopt when the main window should start. Anything else (Qt's own
 * -platform, -style, ...) is left for the application object.
 */
std::optional<int> AnswerClientCommandLine(const QStringList& arguments, QTextStream& out);

/** The same for main()'s arguments, answering on standard output. */
std::optional<int> AnswerClientCommandLine(int argc, char** argv);
