#include "codevalidation.h"

namespace {

// EAN-8 weighs odd positions 3, EAN-13 weighs even positions 3; both are the
// same rule counted from the check digit backwards.
int WeightAt(int position, int length)
{
    return ((length - position) % 2 == 1) ? 3 : 1;
}

int ExpectedDigit(int sum)
{
    return sum % 10 == 0 ? 0 : 10 - sum % 10;
}

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
    // The characters are walked as entered: a leading blank fails as a non-digit.
    int sum = 0;
    for (int pos = 1; pos <= length && pos <= code.size(); ++pos) {
        const QChar c = code.at(pos - 1);
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            message = QStringLiteral("Código deve conter somente números.");
            return false;
        }
        const int digit = c.unicode() - '0';
        if (pos < length) {
            sum += digit * WeightAt(pos, length);
        } else if (digit != ExpectedDigit(sum)) {
            message = CheckDigitMessage(length, c);
            return false;
        }
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

int EanCheckDigit(const QString& digitsWithoutCheck)
{
    const int length = digitsWithoutCheck.size() + 1;
    int sum = 0;
    for (int pos = 1; pos < length; ++pos)
        sum += (digitsWithoutCheck.at(pos - 1).unicode() - '0') * WeightAt(pos, length);
    return ExpectedDigit(sum);
}
