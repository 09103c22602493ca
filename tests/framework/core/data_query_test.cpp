#include "data/txconnection.h"
#include "data/txquery.h"
#include "teststation.h"
#include "xexception.h"

#include <gtest/gtest.h>

namespace {

class DataQuery : public ::testing::Test
{
protected:
    void SetUp() override
    {
        station.CreatePlantingTables();
        Run("INSERT INTO Lote VALUES (1, 'Primeiro', 3), (2, 'segundo', 2), (3, 'Terceiro', 5)");
        Run("INSERT INTO Usua VALUES (7, 'Ana', 'ana', 'x')");
        Run("INSERT INTO Planta VALUES (123456789012, 10.5, 1)");
        Run("INSERT INTO Plantio VALUES (1, 5001, 123456789012, 7, '2024-01-02 10:00:00', NULL), "
            "(1, 5002, 2000, 7, '2024-01-02 10:01:00', 'CENTRAL')");
    }

    void Run(const char* sql) { station.Exec(QString::fromUtf8(sql)); }

    std::unique_ptr<TXQuery> Open(const QString& sql)
    {
        auto q = NewQuery(&station.Conn());
        q->SetSQL(sql);
        q->Open();
        return q;
    }

    // All rows, columns joined by "|", rows by "\n", values as AsString.
    static QString Dump(TXQuery& q)
    {
        QStringList rows;
        for (q.First(); !q.Eof(); q.Next()) {
            QStringList cells;
            for (int c = 0; c < q.FieldCount(); ++c)
                cells.append(q.Fields(c).IsNull() ? QStringLiteral("<null>")
                                                  : q.Fields(c).AsString());
            rows.append(cells.join(u'|'));
        }
        return rows.join(u'\n');
    }

    TestStation station;
};

} // namespace

TEST_F(DataQuery, RunsTheJetDialect)
{
    const std::pair<const char*, const char*> cases[] = {
        // Double-quoted literals and IIF over Is Null.
        {"SELECT p.NC_PLANTIO, IIF(p.origem_plantio is null, \"A Transmitir\", \"Transmitido\") "
         "as status FROM Plantio p ORDER BY p.NC_PLANTIO",
         "5001|A Transmitir\n5002|Transmitido"},
        // A parenthesised three-table join.
        {"SELECT l.NOME AS SUB_LOTE, p.NCC, u.CODIGO AS codigo_USUARIO   FROM (Plantio p INNER "
         "JOIN Usua u ON p.ID_USER = u.ID_USER) INNER JOIN Lote l ON p.ID_SLOTE = l.ID_SLOTE "
         " ORDER BY l.nome, p.ncc ",
         "Primeiro|2000|ana\nPrimeiro|123456789012|ana"},
        // Bracketed names and a quote inside a double-quoted literal.
        {"SELECT [NOME] FROM [Lote] WHERE [NOME] <> \"it's\" AND ID_SLOTE = 3", "Terceiro"},
        // A statement that returns no rows is refused, not run (the next row still sees three).
        {"DELETE FROM Lote", nullptr},
        // Text compares and sorts without regard to case.
        {"SELECT NOME FROM Lote WHERE NOME = 'PRIMEIRO' OR NOME = \"SEGUNDO\"",
         "Primeiro\nsegundo"},
        {"SELECT NOME FROM Lote ORDER BY NOME", "Primeiro\nsegundo\nTerceiro"},
        // Engine errors are provider errors; a misspelt bracketed name is no text.
        {"SELECT nope FROM Lote", nullptr},
        {"SELECT NOME FROM Lote WHERE [nomee] = 'Primeiro'", nullptr},
        {"SELECT 1; SELECT 2", nullptr},
        {"", nullptr},
    };
    for (const auto& [sql, rows] : cases) {
        auto q = NewQuery(&station.Conn());
        q->SetSQL(QString::fromUtf8(sql));
        try {
            q->Open();
            EXPECT_EQ(Dump(*q), QString::fromUtf8(rows ? rows : "<opened>")) << sql;
        } catch (const XException& e) {
            EXPECT_TRUE(!rows && !q->Active() && e.ClassName() == kProviderErrorClass) << sql;
        }
    }
}

TEST_F(DataQuery, BindsTypedParametersByName)
{
    auto insert = NewCommand(&station.Conn());
    insert->SetCommandText(QStringLiteral(
        "INSERT INTO Plantio values (:id_slote,:nc_plantio,:ncc,:id_user,:data_plantio, :origem)"));
    insert->ParamByName(QStringLiteral("id_slote")).SetInteger(2);
    insert->ParamByName(QStringLiteral("NC_PLANTIO")).SetLargeInt(9007199254740993LL);
    insert->ParamByName(QStringLiteral("ncc")).SetFloat(2000);
    insert->ParamByName(QStringLiteral("id_user")).SetInteger(7);
    insert->ParamByName(QStringLiteral("data_plantio")).SetString(QStringLiteral("it's :ncc"));
    insert->ParamByName(QStringLiteral("origem")).SetNull(TXParamType::String);
    EXPECT_EQ(insert->Execute(), 1);
    EXPECT_THROW(insert->ParamByName(QStringLiteral("nope")), XException);

    // The same name twice, a float parameter against a DOUBLE column, a literal
    // that looks like a parameter.
    auto q = NewQuery(&station.Conn());
    q->SetSQL(QStringLiteral("SELECT id_slote, data_plantio, origem_plantio, typeof(nc_plantio), "
                             "':ncc' FROM Plantio WHERE (ncc = :ncc OR nc_plantio = :NCC) AND "
                             "id_slote = :lote"));
    q->ParamByName(QStringLiteral("ncc")).SetFloat(2000);
    q->ParamByName(QStringLiteral("lote")).SetInteger(2);
    q->Open();
    EXPECT_EQ(Dump(*q), QStringLiteral("2|it's :ncc|<null>|real|:ncc"));

    // Parameter values survive a new text that keeps their names.
    q->SetSQL(QStringLiteral("SELECT count(*) FROM Plantio WHERE ncc = :ncc"));
    q->Open();
    EXPECT_EQ(Dump(*q), QStringLiteral("2"));

    // Text longer than its column is refused.
    auto lote = NewCommand(&station.Conn());
    lote->SetCommandText(QStringLiteral("INSERT INTO Lote VALUES (9, :nome, 1)"));
    lote->ParamByName(QStringLiteral("nome")).SetString(QString(21, u'x'));
    EXPECT_THROW(lote->Execute(), XException);
    lote->ParamByName(QStringLiteral("nome")).SetString(QString(20, u'x'));
    EXPECT_EQ(lote->Execute(), 1);
}

TEST_F(DataQuery, FieldsReadAndShowValues)
{
    auto q = Open(QStringLiteral("SELECT NCC, NC, REP, 'x' AS t, NULL AS n, 0.1 + 0.2 AS s, "
                                 "-1234.5 AS neg FROM Planta WHERE REP = 1"));
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"NCC", "123456789012", "123456789012"},
        {"NC", "10.5", "10,5"},
        {"n", "", ""},
        {"s", "0.3", "0,3"},
        {"neg", "-1234.5", "-1234,5"},
    };
    for (const auto& [field, asString, display] : cases) {
        const TXField f = q->FieldByName(QString::fromUtf8(field));
        EXPECT_EQ(f.AsString() + u'|' + f.DisplayText(),
                  QString::fromUtf8(asString) + u'|' + display)
            << field;
    }
    EXPECT_EQ(q->FieldByName(QStringLiteral("NC")).AsInteger(), 10); // half to even
    EXPECT_EQ(q->FieldByName(QStringLiteral("n")).AsInteger(), 0);
    EXPECT_THROW(q->FieldByName(QStringLiteral("t")).AsInteger(), XException);
    EXPECT_THROW(q->FieldByName(QStringLiteral("missing")), XException);
    EXPECT_FALSE(q->Value(1, 0).isValid()); // past the last row
}

TEST_F(DataQuery, StaticCursorMovesCountsAndRequeries)
{
    auto q = Open(QStringLiteral("SELECT ID_SLOTE FROM Lote ORDER BY ID_SLOTE"));
    q->SetRecNo(99);
    q->Next();
    EXPECT_TRUE(q->Eof() && q->RecNo() == 3);

    // The result is a snapshot until Requery runs the statement again.
    Run("INSERT INTO Lote VALUES (4, 'Quarto', 1)");
    EXPECT_EQ(q->RecordCount(), 3);
    q->Requery();
    EXPECT_TRUE(q->RecordCount() == 4 && q->RecNo() == 1);

    auto empty = Open(QStringLiteral("SELECT ID_SLOTE FROM Lote WHERE ID_SLOTE < 0"));
    EXPECT_TRUE(empty->Eof() && empty->RecNo() == 0);
    EXPECT_TRUE(empty->FieldByName(QStringLiteral("ID_SLOTE")).IsNull());
}

TEST_F(DataQuery, FiltersRowsByColumnComparisons)
{
    auto q = Open(QStringLiteral("SELECT ID_SLOTE, NOME, QTE_TRATAMENTO FROM Lote ORDER BY 1"));
    const std::pair<const char*, const char*> cases[] = {
        {"(NOME = 'SEGUNDO')", "2"},
        {"NOME <> 'segundo' AND QTE_TRATAMENTO >= 3", "1,3"},
        {"(ID_SLOTE = 1) OR (ID_SLOTE = 3)", "1,3"},
        {"NOT (QTE_TRATAMENTO < 3)", "1,3"},
        {"NOME = 'it''s'", ""},
        {"", "1,2,3"},
    };
    q->SetFiltered(true);
    for (const auto& [filter, ids] : cases) {
        q->SetFilter(QString::fromUtf8(filter));
        QStringList shown;
        for (q->First(); !q->Eof(); q->Next())
            shown.append(q->FieldByName(QStringLiteral("ID_SLOTE")).AsString());
        EXPECT_EQ(shown.join(u','), QString::fromUtf8(ids)) << filter;
        EXPECT_EQ(q->RecordCount(), shown.size()) << filter;
    }
    q->SetFilter(QStringLiteral("NOME = 'Terceiro'"));
    EXPECT_THROW(q->SetFilter(QStringLiteral("NOPE = 1")), XException);
    EXPECT_THROW(q->SetFilter(QStringLiteral("(NOME = 'x'")), XException);
    EXPECT_EQ(q->RecordCount(), 1); // a bad filter changes nothing
    q->SetFiltered(false);
    EXPECT_EQ(q->RecordCount(), 3);
}

TEST_F(DataQuery, InsertsTheRowsOfAnotherQuery)
{
    const QString select = QStringLiteral("SELECT NC_PLANTIO, ORIGEM_PLANTIO FROM Plantio ");
    auto q = Open(select + QStringLiteral("ORDER BY 1"));
    auto more = Open(select + QStringLiteral("WHERE NC_PLANTIO = 5002 UNION ALL SELECT 7, 'novo'"));
    q->Last();
    // Texts of both stores stay readable where they land; out-of-range places are clamped.
    EXPECT_EQ(q->InsertRows(1, *more), 2);
    EXPECT_EQ(q->RecNo(), 2); // on the first inserted row
    EXPECT_EQ(q->InsertRows(-5, *more), 2);
    EXPECT_EQ(q->InsertRows(99, *more), 2);
    EXPECT_EQ(Dump(*q), QStringLiteral("5002|CENTRAL\n7|novo\n5001|<null>\n5002|CENTRAL\n7|novo\n"
                                       "5002|CENTRAL\n5002|CENTRAL\n7|novo"));
    EXPECT_EQ(q->InsertRows(0, *Open(select + QStringLiteral("WHERE 0"))), 0);

    // Other fields, a closed query, itself, or a filter in effect: refused, nothing changes.
    auto other = Open(QStringLiteral("SELECT NC_PLANTIO FROM Plantio"));
    auto closed = NewQuery(&station.Conn());
    for (const TXQuery* source : {other.get(), closed.get(), q.get()})
        EXPECT_THROW(q->InsertRows(0, *source), XException);
    q->SetFilter(QStringLiteral("NC_PLANTIO = 7"));
    q->SetFiltered(true);
    EXPECT_THROW(q->InsertRows(0, *more), XException);
    q->SetFiltered(false);
    EXPECT_EQ(q->RecordCount(), 8);
}
