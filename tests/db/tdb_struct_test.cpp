#include "appschema.h"
#include "scriptedpresenter.h"
#include "tdb_struct.h"

#include <gtest/gtest.h>

namespace {

const QString CRLF = QStringLiteral("\r\n");

std::unique_ptr<TTab_Struct> Table(const QString& name, std::initializer_list<TField_Struct> fields)
{
    auto table = std::make_unique<TTab_Struct>(name);
    for (const TField_Struct& f : fields)
        table->AddField(f.Name, f.FieldType, f.Size, f.AllowNull);
    return table;
}

TField_Struct F(const char* name, TStructFieldType type, int size = 0, bool allowNull = false)
{
    return TField_Struct(QString::fromUtf8(name), type, size, allowNull);
}

} // namespace

TEST(TDB_Struct, EmptyNamesAndMissingObjectsAreRefusedWithABox)
{
    ScriptedPresenter presenter;
    TTab_Struct table(QStringLiteral("T"));
    table.AddField(QString(), sftLong, 0, false);
    EXPECT_EQ(table.Fields.Count(), 0);

    TDB_Struct db;
    EXPECT_FALSE(db.AddTable(QString(), std::make_unique<TTab_Struct>()));
    EXPECT_FALSE(db.AddTable(QStringLiteral("T"), nullptr));
    db.SetConnection(nullptr);
    EXPECT_EQ(db.Tables.Count(), 0);
    EXPECT_FALSE(db.Connection);

    QStringList lines;
    EXPECT_FALSE(TTab_Struct::CompareFields(&table, nullptr, lines));
    Register_Plantio(nullptr);
    DeclareSchema(nullptr);

    EXPECT_EQ(presenter.Texts(),
              QStringList({QStringLiteral("Nome do Campo deve ser informado."),
                           QStringLiteral("Nome da tabela deve ser informado."),
                           QStringLiteral("Estrutura da tabela deve ser informado(Objeto "
                                          "TTab_Struct)."),
                           QStringLiteral("ADOConn inválido"),
                           QStringLiteral("As estruturas (TTab_Struct) devem estar instanciadas."),
                           QStringLiteral("Instância de TDB_Struct não criado."),
                           QStringLiteral("Instância de TDB_Struct não criado.")}));
}

TEST(TDB_Struct, CompareToListsEveryDifferenceInDeclarationOrder)
{
    struct Case
    {
        const char* title;
        std::unique_ptr<TTab_Struct> expected;
        std::unique_ptr<TTab_Struct> actual; // null: the table is missing
        QStringList messages;
    };
    std::vector<Case> cases;
    cases.push_back(
        {"missing field and long for float",
         Table(QStringLiteral("Plantio"),
               {F("NCC", sftFloat), F("ORIGEM_PLANTIO", sftText, 20, true)}),
         Table(QStringLiteral("Plantio"), {F("NCC", sftLong)}),
         {QStringLiteral("Tabela: Plantio") + CRLF +
          QStringLiteral("Campo: NCC.  Estrutura Esperada: FLOAT   Estrutura "
                         "retornada: LONG ") +
          CRLF + QStringLiteral("Campo: ORIGEM_PLANTIO não encontrado na tabela Plantio.") +
          CRLF}});
    cases.push_back({"text sizes differ",
                     Table(QStringLiteral("Lote"), {F("NOME", sftText, 20)}),
                     Table(QStringLiteral("Lote"), {F("NOME", sftText, 40)}),
                     {QStringLiteral("Tabela: Lote") + CRLF +
                      QStringLiteral("Campo: NOME.  Estrutura Esperada: TEXT(20)  Estrutura "
                                     "retornada: TEXT(40)") +
                      CRLF}});
    cases.push_back({"letter case of names does not matter",
                     Table(QStringLiteral("Plantio"), {F("Ncc", sftFloat)}),
                     Table(QStringLiteral("PLANTIO"), {F("NCC", sftFloat), F("EXTRA", sftMemo)}),
                     {}});
    cases.push_back({"missing field names the actual table",
                     Table(QStringLiteral("Plantio"), {F("NCC", sftFloat)}),
                     Table(QStringLiteral("PLANTIO"), {}),
                     {QStringLiteral("Tabela: Plantio") + CRLF +
                      QStringLiteral("Campo: NCC não encontrado na tabela PLANTIO.") + CRLF}});
    cases.push_back({"null flag and keys are not compared",
                     Table(QStringLiteral("Placa"), {F("CODIGO", sftText, 20, false)}),
                     Table(QStringLiteral("Placa"), {F("CODIGO", sftText, 20, true)}),
                     {}});
    cases.push_back({"missing table",
                     Table(QStringLiteral("Placa"), {F("PLACA", sftLong)}),
                     nullptr,
                     {QStringLiteral("Tabela Placa não encontrado.")}});

    for (Case& c : cases) {
        SCOPED_TRACE(c.title);
        c.expected->AddIndex(QStringLiteral("X"), QStringLiteral("PK_X"), true, false);
        TDB_Struct expected;
        TDB_Struct actual;
        const QString name = c.expected->Name;
        expected.AddTable(name, std::move(c.expected));
        actual.AddTable(QStringLiteral("Other"), Table(QStringLiteral("Other"), {}));
        if (c.actual) {
            const QString actualName = c.actual->Name;
            actual.AddTable(actualName, std::move(c.actual));
        }
        QStringList messages{QStringLiteral("left over")};
        EXPECT_EQ(expected.CompareTo(actual, messages), c.messages.isEmpty());
        EXPECT_EQ(messages, c.messages);
    }
}

TEST(StructConnectionString, FollowsTheProviderAndOptionRules)
{
    struct Case
    {
        int tag;
        const char* password;
        const char* extra;
        const char* expected;
    };
    const Case cases[] = {
        {0, "pw", "",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/x.db;Persist Security "
         "Info=False;Jet OLEDB:DataBase Password=pw"},
        {0, "", "",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/x.db;Persist Security Info=False;"},
        {2006, "pw", "Mode=Read",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/x.db;Persist Security "
         "Info=False;Jet OLEDB:DataBase Password=pw;Mode=Read"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StructConnectionString(c.tag, QStringLiteral("/d/x.db"),
                                         QString::fromUtf8(c.password), QString::fromUtf8(c.extra)),
                  QString::fromUtf8(c.expected));
}
