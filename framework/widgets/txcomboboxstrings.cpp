#include "txcomboboxstrings.h"

#include "xexception.h"

#include <QComboBox>

namespace {

QString StoredText(const QString& text)
{
    return text.isEmpty() ? QStringLiteral(" ") : text;
}

[[noreturn]] void ThrowInsertError()
{
    throw XException(QStringLiteral("erro ao inserir linha"), QStringLiteral("EOutOfResources"));
}

} // namespace

int TXComboBoxStrings::Count() const
{
    return m_comboBox.count();
}

void TXComboBoxStrings::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw XException(QStringLiteral("List index out of bounds (%1)").arg(index),
                         QStringLiteral("EStringListError"));
}

QString TXComboBoxStrings::Get(int index) const
{
    CheckIndex(index);
    return m_comboBox.itemText(index);
}

int TXComboBoxStrings::Add(const QString& text, const QVariant& data)
{
    const int index = Count();
    Insert(index, text, data);
    return index;
}

void TXComboBoxStrings::Insert(int index, const QString& text, const QVariant& data)
{
    const int before = Count();
    if (index == -1)
        index = before;
    // QComboBox clamps a bad index and drops items past MaxCount without a word.
    if (index < 0 || index > before || before >= m_comboBox.maxCount())
        ThrowInsertError();
    m_comboBox.insertItem(index, StoredText(text), data);
    if (Count() != before + 1)
        ThrowInsertError();
}

void TXComboBoxStrings::Put(int index, const QString& text)
{
    CheckIndex(index);
    m_comboBox.setItemText(index, StoredText(text));
}
