#include "codevalidation.h"

namespace {

QString LengthMessage(int length)
{
    if (length == 8)
        return QStringLiteral("Código deve conter exatos 8 dígitos.");
    return QStringLiteral("Código deve conter exatos ") + QString::number(length) +
           QStringLiteral(" dígitos.");
}

QString CheckDigitMessage(int length, QChar scanned)
{
    if (length == 8)
        return QStringLiteral("Dígito Verificador não confere (") + scanned + QStringLiteral(").");
    return QStringLiteral("Dígito Verificador EAN13 não confere (") + scanned +
           QStringLiteral(").");
}

bool ValidateEan(const QString& code, int length, QString& message)
{
    message.clear();
    if (code.trimmed().size() != length) {
        message = LengthMessage(length);
        return false;
    }
    // The characters are taken as entered: a leading blank fails as a non-digit.
    const QString digits = code.left(length);
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            message = QStringLiteral("Código deve conter somente números.");
            return false;
        }
    }
    const QChar scanned = digits.back();
    if (scanned.unicode() - u'0' != EanCheckDigit(digits.left(length - 1))) {
        message = CheckDigitMessage(length, scanned);
        return false;
    }
    return true;
}

bool AllDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

void BarcodeTypeName(int index, QString& name)
{
    if (index == 0)
        name = kEan8;
    else if (index == 1)
        name = kEan13;
}

bool ValidateBarcode(const QString& code, const QString& typeName, QString& message)
{
    message.clear();
    if (typeName == kEan8)
        return ValidateEAN8(code, message);
    if (typeName == kEan13)
        return ValidateEAN13(code, message);
    return true;
}

bool ValidateEAN8(const QString& code, QString& message)
{
    return ValidateEan(code, 8, message);
}

bool ValidateEAN13(const QString& code, QString& message)
{
    return ValidateEan(code, 13, message);
}

bool CodeNumber(const QString& code, qint64& number)
{
    // The barcode check lets a trailing blank through: it is not the check digit.
    const QString trimmed = code.trimmed();
    // Digits only: the number also goes into statements assembled as text.
    const QString digits = trimmed.left(trimmed.size() - 1);
    if (!AllDigits(digits))
        return false;
    bool ok = false;
    number = digits.toLongLong(&ok);
    return ok;
}
