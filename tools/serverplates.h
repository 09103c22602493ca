#pragma once

#include "tplatemap.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

class PgConnection;

/** Codes of the plates whose every sample well the server received filled, in code order. */
QStringList ReadyPlateCodes(PgConnection& connection);

/**
 * The plates with those codes as the server holds them, in the order given,
 * wells in collection order: a filled well as received (from whichever
 * station), otherwise the plate's empty well. The plate's station is the
 * stations that filled it. Raises XException naming an unknown code.
 */
std::vector<TPlateMap> ReadServerPlates(PgConnection& connection, const QStringList& codes);

/** What marks a control or an empty well in a sample sheet. */
inline const QString kBlankSample = QStringLiteral("BLANK");

/**
 * The sample sheet "Sample ID, Plate ID, Well, Subject Barcode, Plate Barcode,
 * Comments" (comma-separated, UTF-8): every well of each plate in collection
 * order; controls and empty wells are rows with Sample ID BLANK and a comment
 * telling which.
 */
QByteArray SampleIdSheet(const std::vector<TPlateMap>& plates);

/** What a DArT sample tracking file says of every sample. */
struct DartOptions
{
    QString Organism;
    QString Species; // may be empty
    QString Tissue;
};

/**
 * The DArT sample tracking file "PlateID, Row, Column, Organism, Species,
 * Genotype, Tissue, Comments": the collected sample wells in collection order.
 * The service takes only real samples, so controls and empty wells are left
 * out, and keeps G12 and H12 for its own controls. Raises XException for a
 * plate that is not 8 x 12 or holds a sample in G12 or H12, and for a text
 * with a character the service refuses (, ; ' ").
 */
QByteArray DartSheet(const std::vector<TPlateMap>& plates, const DartOptions& options);
