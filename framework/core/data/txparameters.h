#pragma once

#include "xfieldtype.h"

#include <QList>
#include <QString>
#include <QVariant>

/** A named, typed statement parameter (":name" in the SQL text). */
class TXParameter
{
public:
    QString Name;
    TXParamType DataType = TXParamType::String;
    QVariant Value; // null QVariant = SQL NULL

    void SetString(const QString& v) { DataType = TXParamType::String; Value = v; }
    void SetInteger(int v) { DataType = TXParamType::Integer; Value = v; }
    void SetLargeInt(qint64 v) { DataType = TXParamType::LargeInt; Value = v; }
    void SetFloat(double v) { DataType = TXParamType::Float; Value = v; }
    /** Null with the given type. */
    void SetNull(TXParamType type) { DataType = type; Value = QVariant(); }
};

/**
 * The parameters of a statement, found in its SQL text by name (":name", the
 * first occurrence fixing the order). Lookup ignores letter case.
 */
class TXParameters
{
public:
    /** Re-reads the parameter names from the SQL text; values of kept names survive. */
    void ParseSQL(const QString& sql);

    int Count() const { return m_items.size(); }
    TXParameter& operator[](int i) { return m_items[i]; }
    const TXParameter& operator[](int i) const { return m_items[i]; }

    /** Null when there is no such parameter. */
    TXParameter* FindParam(const QString& name);
    /** Raises XException "Parameter 'name' not found" when there is no such parameter. */
    TXParameter& ParamByName(const QString& name);

private:
    QList<TXParameter> m_items;
};
