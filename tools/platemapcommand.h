#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

class QCommandLineParser;
class QTextStream;

/** Help text and options of "tressalin-admin placa mapa". */
QString PlateMapHelp();
QList<QCommandLineOption> PlateMapOptions();

/**
 * Exports plate maps of the station file args[0] as the options say, into a
 * new file (never replacing one). Reads the file only. Progress and messages
 * go to err, the result line to out. Returns the exit status: 0 written, 1
 * refused or failed, 2 options that cannot be understood. Raises XException
 * when the station file cannot be read.
 */
int RunPlateMap(const QCommandLineParser& parser, const QStringList& args, QTextStream& out,
                QTextStream& err);
