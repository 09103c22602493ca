#include "appschema.h"
#include "scriptedpresenter.h"
#include "tdb_struct.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString CRLF = u"\r\n"_s;

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
    TTab_Struct table(u"T"_s);
    table.AddField(QString(), sftLong, 0, false);
    EXPECT_EQ(table.Fields.Count(), 0);

    TDB_Struct db;
    EXPECT_FALSE(db.AddTable(QString(), std::make_unique<TTab_Struct>()));
    EXPECT_FALSE(db.AddTable(u"T"_s, nullptr));
    db.SetConnection(nullptr);
    EXPECT_EQ(db.Tables.Count(), 0);
    EXPECT_FALSE(db.Connection);

    QStringList lines;
    EXPECT_FALSE(TTab_Struct::CompareFields(&table, nullptr, lines));
    Register_Plantio(nullptr);
    DeclareSchema(nullptr);

    EXPECT_EQ(
        presenter.Texts(),
        QStringList(
            {u"Nome do Campo deve ser informado."_s, u"Nome da tabela deve ser informado."_s,
             u"Estrutura da tabela deve ser informado(Objeto "
             "TTab_Struct)."_s,
             u"ADOConn inválido"_s, u"As estruturas (TTab_Struct) devem estar instanciadas."_s,
             u"Instância de TDB_Struct não criado."_s, u"Instância de TDB_Struct não criado."_s}));
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
         Table(u"Plantio"_s, {F("NCC", sftFloat), F("ORIGEM_PLANTIO", sftText, 20, true)}),
         Table(u"Plantio"_s, {F("NCC", sftLong)}),
         {u"Tabela: Plantio"_s + CRLF +
          u"Campo: NCC.  Estrutura Esperada: FLOAT   Estrutura "
          "retornada: LONG "_s +
          CRLF + u"Campo: ORIGEM_PLANTIO não encontrado na tabela Plantio."_s + CRLF}});
    cases.push_back({"text sizes differ",
                     Table(u"Lote"_s, {F("NOME", sftText, 20)}),
                     Table(u"Lote"_s, {F("NOME", sftText, 40)}),
                     {u"Tabela: Lote"_s + CRLF +
                      u"Campo: NOME.  Estrutura Esperada: TEXT(20)  Estrutura "
                      "retornada: TEXT(40)"_s +
                      CRLF}});
    cases.push_back({"letter case of names does not matter",
                     Table(u"Plantio"_s, {F("Ncc", sftFloat)}),
                     Table(u"PLANTIO"_s, {F("NCC", sftFloat), F("EXTRA", sftMemo)}),
                     {}});
    cases.push_back(
        {"missing field names the actual table",
         Table(u"Plantio"_s, {F("NCC", sftFloat)}),
         Table(u"PLANTIO"_s, {}),
         {u"Tabela: Plantio"_s + CRLF + u"Campo: NCC não encontrado na tabela PLANTIO."_s + CRLF}});
    cases.push_back({"null flag and keys are not compared",
                     Table(u"Placa"_s, {F("CODIGO", sftText, 20, false)}),
                     Table(u"Placa"_s, {F("CODIGO", sftText, 20, true)}),
                     {}});
    cases.push_back({"missing table",
                     Table(u"Placa"_s, {F("PLACA", sftLong)}),
                     nullptr,
                     {u"Tabela Placa não encontrado."_s}});

    for (Case& c : cases) {
        SCOPED_TRACE(c.title);
        c.expected->AddIndex(u"X"_s, u"PK_X"_s, true, false);
        TDB_Struct expected;
        TDB_Struct actual;
        const QString name = c.expected->Name;
        expected.AddTable(name, std::move(c.expected));
        actual.AddTable(u"Other"_s, Table(u"Other"_s, {}));
        if (c.actual) {
            const QString actualName = c.actual->Name;
            actual.AddTable(actualName, std::move(c.actual));
        }
        QStringList messages{u"left over"_s};
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
        EXPECT_EQ(StructConnectionString(c.tag, u"/d/x.db"_s, QString::fromUtf8(c.password),
                                         QString::fromUtf8(c.extra)),
                  QString::fromUtf8(c.expected));
}
