#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class TXConnection;

/** What a well holds on a plate map. */
enum class TWellKind { Sample, Control, Empty };

/** One well of a plate map: its place, its collection and whether it was transmitted. */
struct TPlateMapWell
{
    QString Poco;
    int Linha = 0;        // 1-based
    int Coluna = 0;       // 1-based
    int Seq = 0;          // position in the collection order
    QString Amostra;      // "T" takes a sample, "C" is a control
    qint64 NcPlantio = 0; // 0 when the well is empty
    QString SampleCode;   // the NC Plantio as scanned; empty when the well is empty
    QString ColetadoPor;  // the collecting user's code
    QString DataColeta;
    QString OrigemColeta; // not empty once transmitted

    /** Control for "C" wells (filled or not), Sample once collected, otherwise Empty. */
    TWellKind Kind() const;
    bool Transmitted() const { return !OrigemColeta.isEmpty(); }
};

/**
 * A plate as the genotyping lab receives it: its size, its wells in
 * collection order and the station it was collected on. Read-only.
 */
struct TPlateMap
{
    int IdPlaca = -1;
    QString Codigo;
    int TLinha = 8;
    int TColuna = 12;
    QString Station;
    std::vector<TPlateMapWell> Wells; // seq_coleta ascending

    /** The first well at that column and row; null when none or outside the plate's size. */
    const TPlateMapWell* At(int coluna, int linha) const;
    int Controls() const;
    int Collected() const;
    /** "T" wells not yet collected. */
    int Free() const;
    int Transmitted() const;
    /** Earliest and latest DATA_COLETA of the collected wells; empty when none. */
    QString FirstCollection() const;
    QString LastCollection() const;
};

/** How plate maps are read: the station's computer and its planting code type. */
struct TPlateMapSource
{
    QString Station;
    /** Configuracao.CB_NC_PLANTIO: 0 EAN-8, 1 EAN-13; anything else: codes without check digit. */
    int NcPlantioBarcode = -1;
};

/**
 * The code printed on a planting's label: the number zero-padded to the
 * type's length with its check digit, or the bare number when no type is
 * configured or the number is too long for it.
 */
QString SampleCode(qint64 ncPlantio, int barcodeType);

/** The unknown-plate message the collection screen shows. */
QString UnknownPlateMessage(const QString& code);

/**
 * Reads the plate with that code and its wells. False, with the plate left
 * empty, when there is no such plate or it has no sample well ("T"), as the
 * collection screen treats it. Raises XException on a database error. Reads
 * only.
 */
bool LoadPlateMap(TXConnection* connection, const QString& code, const TPlateMapSource& source,
                  TPlateMap& plate);

/** Codes of the plates with at least one collected well, in code order. */
QStringList CollectedPlateCodes(TXConnection* connection);
