#include "data/xjetdialect.h"

#include <gtest/gtest.h>

TEST(JetDialect, RewritesOnlyWhatSqliteReadsDifferently)
{
    const std::pair<const char*, const char*> cases[] = {
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
    for (const auto& [jet, sqlite] : cases)
        EXPECT_EQ(JetToSqlite(QString::fromUtf8(jet)), QString::fromUtf8(sqlite)) << jet;
}

TEST(JetDialect, FindsParametersOutsideLiterals)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"INSERT INTO t (a, b) values (:id_slote,:nc_plantio)", {"id_slote", "nc_plantio"}},
        {"WHERE (a = :ncc) OR (b = :NCC) OR (c = :other)", {"ncc", "other"}},
        {"WHERE a = ':x' AND b = \":y\" AND [c:z] = :real", {"real"}},
        {"WHERE t = '10:30' AND u = 'it''s :no' AND v = :yes", {"yes"}},
        {"WHERE a = : b AND c = :d", {"d"}},
        {"WHERE [] = :e", {"e"}},
    };
    for (const auto& [sql, names] : cases)
        EXPECT_EQ(JetParameterNames(QString::fromUtf8(sql)), names) << sql;
}
