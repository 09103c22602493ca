#pragma once

#include <QString>
#include <QVariant>

class QComboBox;

/**
 * The item list of a TXComboBox. An empty item text is stored as one blank " ",
 * so every item keeps a visible (if blank) line. Add and Insert throw
 * XException "erro ao inserir linha" (class "EOutOfResources") when the combo
 * box refuses the item (index out of range, MaxCount reached); nothing is added then.
 */
class TXComboBoxStrings
{
public:
    explicit TXComboBoxStrings(QComboBox& comboBox) : m_comboBox(comboBox) {}

    int Count() const;
    /** The item's text; throws EStringListError for an index outside 0..Count()-1. */
    QString Get(int index) const;
    /** Appends the item and returns its index. */
    int Add(const QString& text, const QVariant& data = {});
    /** Inserts the item at index (0..Count(); -1 appends). */
    void Insert(int index, const QString& text, const QVariant& data = {});
    /** Replaces the item's text; its data stays. Throws EStringListError for a bad index. */
    void Put(int index, const QString& text);

private:
    void CheckIndex(int index) const;

    QComboBox& m_comboBox;
};
