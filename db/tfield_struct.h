#pragma once

#include "data/xfieldtype.h"
#include "xobject.h"

#include <QString>
#include <cstdint>

/** Field types of the structure model; the codes are those of the type texts. */
enum TStructFieldType : std::uint8_t {
    sftUnknown = 0,
    sftAutoInc = 1,
    sftText = 2,
    sftLong = 3,
    sftFloat = 4,
    sftDateTime = 5,
    sftMemo = 6,
};

/**
 * Type text for difference messages: "" / "AutoInc" / "TEXT(<size>)" /
 * "LONG " / "FLOAT " / "DATETIME" / "MEMO"; empty for any other code.
 */
QString FieldTypeText(TStructFieldType fieldType, int size);

/** Structure type of a column type the data-access layer reports; sftUnknown when it has none. */
TStructFieldType FieldTypeFromDataType(TXFieldType dataType);

/** One field (column) of a table structure. */
class TField_Struct : public TXObject
{
public:
    TField_Struct() = default;
    TField_Struct(const QString& name, TStructFieldType fieldType, int size, bool allowNull)
        : AllowNull(allowNull), Size(size), Name(name), FieldType(fieldType)
    {
    }

    bool AllowNull = false;
    qint32 Size = 0; // characters for sftText, else 0 (or what the provider reports)
    QString Name;
    TStructFieldType FieldType = sftUnknown;
};
