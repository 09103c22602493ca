#include "tindex_struct.h"

TIndex_Struct::TIndex_Struct(const QString& fields, const QString& name, bool primary, bool unique)
    : Fields(QString(fields).replace(QLatin1Char(';'), QLatin1Char(','))), Primary(primary),
      Unique(unique), Name(name)
{
}
