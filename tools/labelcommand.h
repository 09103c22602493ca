#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

class QCommandLineParser;
class QTextStream;

/** Help text and options of "tressalin-admin etiquetas". */
QString LabelsHelp();
QList<QCommandLineOption> LabelsOptions();

/**
 * Prints labels of the station file args[0] (plants, planting codes or plates)
 * into a new PDF or ZPL file, as the output's extension says. Reads the file
 * only. Progress and messages go to err, the result line to out. Returns 0
 * written, 1 refused or failed (no file is left), 2 options that cannot be
 * understood. Raises XException when the station file cannot be read.
 */
int RunLabels(const QCommandLineParser& parser, const QStringList& args, QTextStream& out,
              QTextStream& err);
