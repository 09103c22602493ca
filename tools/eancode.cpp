#include "eancode.h"

#include "xexception.h"

QString BarcodeTypeName(BarcodeType type)
{
    return type == BarcodeType::Ean8 ? QStringLiteral("EAN-8") : QStringLiteral("EAN-13");
}

bool ParseBarcodeType(const QString& text, BarcodeType* type)
{
    const QString key = text.trimmed().toUpper().remove(QLatin1Char('-'));
    if (key == QLatin1String("EAN8")) {
        *type = BarcodeType::Ean8;
        return true;
    }
    if (key == QLatin1String("EAN13")) {
        *type = BarcodeType::Ean13;
        return true;
    }
    return false;
}

int BarcodeLength(BarcodeType type)
{
    return type == BarcodeType::Ean8 ? 8 : 13;
}

qint64 MaxBarcodeNumber(BarcodeType type)
{
    return type == BarcodeType::Ean8 ? Q_INT64_C(9999999) : Q_INT64_C(999999999999);
}

QString EanCode(qint64 number, BarcodeType type)
{
    if (number < 0 || number > MaxBarcodeNumber(type)) {
        throw XException(QStringLiteral("O número %1 não cabe em um código %2.")
                             .arg(number)
                             .arg(BarcodeTypeName(type)));
    }
    const QString digits =
        QStringLiteral("%1").arg(number, BarcodeLength(type) - 1, 10, QLatin1Char('0'));
    return digits + QString::number(EanCheckDigit(digits));
}
