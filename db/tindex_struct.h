#pragma once

#include "xobject.h"

#include <QString>

/** One index of a table structure. Fields lists the columns separated by commas. */
class TIndex_Struct : public TXObject
{
public:
    TIndex_Struct() = default;
    /** Every ";" of the column list becomes ",", so lists read from a database match declared ones.
     */
    TIndex_Struct(const QString& fields, const QString& name, bool primary, bool unique);

    QString Fields;
    bool Primary = false;
    bool Unique = false;
    QString Name;
};
