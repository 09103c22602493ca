#include "data/xjetdialect.h"

#include <gtest/gtest.h>

TEST(JetDialect, RewritesOnlyWhatSqliteReadsDifferently)
{
    const struct
    {
        const char* jet;
        const char* sqlite;
    } cases[] = {
        {R"(SELECT IIF(x is null, "A Transmitir", "Transmitido") FROM t)",
         "SELECT IIF(x is null, 'A Transmitir', 'Transmitido') FROM t"},
        {R"(WHERE a = "it's")", "WHERE a = 'it''s'"},
        {R"(WHERE a = "say ""hi""")", R"(WHERE a = 'say "hi"')"},
        {"WHERE a = 'it''s \"x\"'", "WHERE a = 'it''s \"x\"'"},
        {"SELECT [Sub Lote], [a\"b] FROM [Plantio]",
         "SELECT \"Sub Lote\", \"a\"\"b\" FROM \"Plantio\""},
        {R"(WHERE a = "[not a name]" AND b = '[nor this]')",
         "WHERE a = '[not a name]' AND b = '[nor this]'"},
        {R"(WHERE a = ":x" AND b = :x)", "WHERE a = ':x' AND b = :x"},
        {R"(WHERE a = "unterminated)", R"(WHERE a = "unterminated)"},
        {"WHERE nome = \"João\"", "WHERE nome = 'João'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JetToSqlite(QString::fromUtf8(c.jet)), QString::fromUtf8(c.sqlite)) << c.jet;
}

TEST(JetDialect, FindsParametersOutsideLiterals)
{
    const struct
    {
        const char* sql;
        QStringList names;
    } cases[] = {
        {"INSERT INTO t (a, b) values (:id_slote,:nc_plantio)", {"id_slote", "nc_plantio"}},
        {"WHERE (a = :ncc) OR (b = :NCC) OR (c = :other)", {"ncc", "other"}},
        {"WHERE a = ':x' AND b = \":y\" AND [c:z] = :real", {"real"}},
        {"WHERE t = '10:30' AND u = 'it''s :no' AND v = :yes", {"yes"}},
        {"WHERE a = : b AND c = :d", {"d"}},
        {"WHERE [] = :e", {"e"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JetParameterNames(QString::fromUtf8(c.sql)), c.names) << c.sql;
}
