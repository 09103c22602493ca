#include "ttab_struct.h"

#include "xmessages.h"

#include <memory>

void TTab_Struct::AddField(const QString& name, TStructFieldType fieldType, int size,
                           bool allowNull)
{
    if (name.isEmpty()) {
        ShowErrorMessage(QStringLiteral("Nome do Campo deve ser informado."));
        return;
    }
    Fields.Add(name, std::make_unique<TField_Struct>(name, fieldType, size, allowNull));
}

void TTab_Struct::AddIndex(const QString& fields, const QString& name, bool primary, bool unique)
{
    Indexes.Add(name, std::make_unique<TIndex_Struct>(fields, name, primary, unique));
}

bool TTab_Struct::CompareFields(const TTab_Struct* expected, const TTab_Struct* actual,
                                QStringList& messages)
{
    if (!expected || !actual) {
        ShowErrorMessage(QStringLiteral("As estruturas (TTab_Struct) devem estar instanciadas."));
        return false;
    }
    for (const auto& entry : expected->Fields) {
        const TField_Struct& want = *entry.Object;
        const TField_Struct* got = actual->Fields.Find(want.Name);
        if (!got) {
            messages.append(QStringLiteral("Campo: ") + want.Name +
                            QStringLiteral(" não encontrado na tabela ") + actual->Name +
                            QLatin1Char('.'));
        } else if (got->FieldType != want.FieldType || got->Size != want.Size) {
            messages.append(QStringLiteral("Campo: ") + want.Name + QStringLiteral(". ") +
                            QStringLiteral(" Estrutura Esperada: ") +
                            FieldTypeText(want.FieldType, want.Size) +
                            QStringLiteral("  Estrutura retornada: ") +
                            FieldTypeText(got->FieldType, got->Size));
        }
    }
    return messages.isEmpty();
}
