#include "tfield_struct.h"

QString FieldTypeText(TStructFieldType fieldType, int size)
{
    switch (fieldType) {
    case sftAutoInc:
        return QStringLiteral("AutoInc");
    case sftText:
        return QStringLiteral("TEXT(") + QString::number(size) + QLatin1Char(')');
    case sftLong:
        return QStringLiteral("LONG ");
    case sftFloat:
        return QStringLiteral("FLOAT ");
    case sftDateTime:
        return QStringLiteral("DATETIME");
    case sftMemo:
        return QStringLiteral("MEMO");
    default:
        return {};
    }
}

TStructFieldType FieldTypeFromDataType(TXFieldType dataType)
{
    switch (dataType) {
    case TXFieldType::String:
    case TXFieldType::WideString:
        return sftText;
    case TXFieldType::SmallInt:
    case TXFieldType::Integer:
    case TXFieldType::Word:
    case TXFieldType::LargeInt:
    case TXFieldType::Bytes:
        return sftLong;
    case TXFieldType::Float:
    case TXFieldType::Currency:
    case TXFieldType::BCD:
        return sftFloat;
    case TXFieldType::DateTime:
        return sftDateTime;
    case TXFieldType::AutoInc:
        return sftAutoInc;
    case TXFieldType::Blob:
    case TXFieldType::Memo:
        return sftMemo;
    default:
        return sftUnknown;
    }
}
