#pragma once

#include "tfield_struct.h"
#include "tindex_struct.h"
#include "tstructlist.h"
#include "xobject.h"

#include <QString>
#include <QStringList>

/** One table of a structure: its fields in column order and its indexes. */
class TTab_Struct : public TXObject
{
public:
    TTab_Struct() = default;
    explicit TTab_Struct(const QString& name) : Name(name) {}

    QString Name;
    TStructList<TField_Struct> Fields;
    TStructList<TIndex_Struct> Indexes;

    /** Appends a field; an empty name shows an error box and adds nothing. */
    void AddField(const QString& name, TStructFieldType fieldType, int size, bool allowNull);
    /** Appends an index (";" in the column list stored as ","). */
    void AddIndex(const QString& fields, const QString& name, bool primary, bool unique);

    /**
     * Appends to messages one line per expected field that is missing from the
     * actual table or differs in type or size; null, keys and extra fields are
     * not compared. True when messages is empty afterwards. A missing table shows
     * an error box and answers false.
     */
    static bool CompareFields(const TTab_Struct* expected, const TTab_Struct* actual,
                              QStringList& messages);
};
