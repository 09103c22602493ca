#pragma once

#include "xobject.h"

#include <QString>

/** One well of a sample plate as read from Placa_Poco. */
class TPoco : public TXObject
{
public:
    qint32 Coluna = 0;    // 1-based
    qint32 Linha = 0;     // 1-based
    qint32 Seq = 0;       // position in the collection order (seq_coleta)
    qint32 Coletado = 0;  // 1 when the well holds a planting code
    qint64 NcPlantio = 0; // the planting code number it holds (0: none)
    QString Poco;         // the well's label, its key within the plate
    QString Amostra;      // "T" takes a sample, "C" is a control well never filled
    QString OrigemColeta; // not empty once transmitted to the server
};
