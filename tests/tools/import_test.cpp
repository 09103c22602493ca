#include "admintool.h"

#include "csvtext.h"
#include "stationbuilder.h"
#include "xexception.h"

#include <gmock/gmock.h>

TEST(CsvText, ParsesQuotedFieldsAndCountsLines)
{
    // The text, then its records as "line:field|field" joined by " / ".
    const QList<std::pair<QString, QString>> cases = {
        {"a;b;c\r\n1;2;3\r\n", "1:a|b|c / 2:1|2|3"},
        {"a;b\n\n1;\n", "1:a|b / 3:1|"},
        {"\"x;y\";\"say \"\"hi\"\"\"\n", "1:x;y|say \"hi\""},
        {"\"two\nlines\";z\nnext;1", "1:two\nlines|z / 3:next|1"},
        {";\n\"\"", "1:| / 2:"},
    };
    for (const auto& [text, expected] : cases) {
        QStringList records;
        for (const CsvRecord& record : ParseCsv(text))
            records << QString::number(record.Line) + QLatin1Char(':') + record.Fields.join('|');
        EXPECT_EQ(records.join(QStringLiteral(" / ")), expected) << text.toStdString();
    }
    for (const char* bad : {"a\n\"open;b\nc", "a\n\"x\"y;b", "a\nx\"y"})
        EXPECT_THAT([&] { ParseCsv(QString::fromUtf8(bad)); },
                    testing::ThrowsMessage<XException>(testing::StartsWith("Linha 2:")))
            << bad;
    const QString written = CsvLine({"a;b", "x\"y", "plain", ""});
    EXPECT_EQ(written, QStringLiteral("\"a;b\";\"x\"\"y\";plain;\r\n"));
    EXPECT_EQ(ParseCsv(written).first().Fields, (QStringList{"a;b", "x\"y", "plain", ""}));
}

TEST_F(AdminToolTest, ImportAddsRowsByHeaderNameAndScramblesUserPasswords)
{
    const QString db = Path(QStringLiteral("import.db"));
    ASSERT_EQ(RunAdmin({"create", db, "--operacao", "plantio"}).ExitCode, 0);

    const auto import = [&](const char* table, const QByteArray& text) {
        WriteFile(Path(QStringLiteral("dados.csv")), text);
        return RunAdmin({"import", db, table, Path(QStringLiteral("dados.csv"))});
    };
    AdminRun run = import("planta", "\xEF\xBB\xBFrep;ncc;NC\r\n1;\"7891000000014\";"
                                    "9007199254740992\r\n2147483647;789100000002;5001\r\n");
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.contains(QStringLiteral("2 registro(s)")));
    run = import("Usua", "ID_USER;NOME;CODIGO;SENHA\n7;\"Souza; João\"; maria ;segredo\n");
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();

    const auto connection = OpenStation(db);
    auto* c = connection.get();
    // The label's code has its check digit verified and removed; the largest values fit.
    EXPECT_EQ(
        Count(c, "SELECT count(*) FROM Planta WHERE ncc = 789100000001 AND rep = 1 AND "
                 "nc = 9007199254740992 OR ncc = 789100000002 AND rep = 2147483647 AND nc = 5001"),
        2);
    EXPECT_EQ(Count(c, "SELECT count(*) FROM Usua WHERE nome = 'Souza; João'"), 1);
    EXPECT_TRUE(CheckUser(c, QStringLiteral("maria"), QStringLiteral("segredo")));

    // Plates belong to collection stations.
    run = import("Placa", "ID_PLACA;PLACA;CODIGO;TLINHA;TCOLUNA\n1;1;P1;8;12\n");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(QStringLiteral("estações de coleta"))) << run.Err.toStdString();
}

TEST_F(AdminToolTest, ImportRefusesABadRowAndLeavesTheFileUnchanged)
{
    const QString db = Path(QStringLiteral("intacto.db"));
    ASSERT_EQ(RunAdmin({"demo", db, "--operacao", "coleta"}).ExitCode, 0);
    // Table, file, part of the refusal.
    const QList<std::tuple<QString, QByteArray, QString>> cases = {
        {"Planta", "NCC;NC;REP\n700000000001;1;3000000000\n", "coluna REP: 3000000000 está fora"},
        {"Planta", "NCC;NC;REP\n1;1\n", "Linha 2: esperadas 3 colunas, encontradas 2"},
        {"Planta", "NCC;NC;REP\n700000000001;;1\n", "Linha 2, coluna NC: valor obrigatório"},
        {"Planta", "NCC;NC\n1;1\n", "Linha 1: falta a coluna obrigatória REP"},
        {"Planta", "NCC;NC;REP;COR\n", "Linha 1: a tabela Planta não tem a coluna \"COR\""},
        // Codes as labels print them (EAN-13 here): full and checked, or without the check digit.
        {"Planta", "NCC;NC;REP\n7891000000015;1;1\n",
         "coluna NCC: \"7891000000015\": o dígito verificador 5 não confere; para um código "
         "EAN-13 o esperado é 4"},
        {"Planta", "NCC;NC;REP\n78910000001;1;1\n", "coluna NCC: \"78910000001\" tem 11 dígito"},
        {"Plantio", "ID_SLOTE;NC_PLANTIO;NCC;ID_USER;DATA_PLANTIO\n1;7000000000;789100000001;1;x\n",
         "Linha 2, coluna NC_PLANTIO"},
        // Whole numbers only: a thousands separator would silently change the code.
        {"Planta", "NCC;NC;REP\n700000000001;5.033;1\n",
         "coluna NC: \"5.033\" não é um número inteiro: escreva só os algarismos, sem separador"},
        {"Planta", "NCC;NC;REP\n700000000001;9007199254740993;1\n",
         "coluna NC: 9007199254740993 está fora do intervalo"},
        {"Lote", "ID_SLOTE;NOME;QTE_TRATAMENTO\n9;A;1.000\n",
         "coluna QTE_TRATAMENTO: \"1.000\" não"},
        // What the station needs to be consistent.
        {"Plantio",
         "ID_SLOTE;NC_PLANTIO;NCC;ID_USER;DATA_PLANTIO\n1;700000000001;700000000001;1;2024-03-01 "
         "10:00:00\n",
         "Linha 2, coluna NCC: a planta 700000000001 não existe"},
        {"Plantio",
         "ID_SLOTE;NC_PLANTIO;NCC;ID_USER;DATA_PLANTIO\n1;700000000001;789100000001;1;01/03/2024\n",
         "Linha 2, coluna DATA_PLANTIO"},
        {"Placa_Poco",
         "ID_PLACA;PLACA;POCO;LINHA;COLUNA;SEQ_COLETA;AMOSTRA;STATUS_POCO\n9;9;A1;1;1;1;T;0\n",
         "Linha 2, coluna ID_PLACA: a placa 9 não existe"},
        {"Lote", "ID_SLOTE;NOME;QTE_TRATAMENTO\n9;A;-1\n", "coluna QTE_TRATAMENTO: -1 é negativo"},
        {"Lote", "ID_SLOTE;NOME;QTE_TRATAMENTO\n9;\"A\tB\";1\n",
         "NOME: o texto tem um caractere de"},
        // Another separator, or empty columns at the end, gets the hint and the table's columns.
        {"Planta", "NCC,NC,REP\n",
         "Linha 1: a tabela Planta não tem a coluna \"NCC,NC,REP\". Os campos são separados por "
         "\";\" (ponto e vírgula); as colunas da tabela Planta são: NCC;NC;REP"},
        {"Planta", "NCC;NC;REP\n700000000001;1;1;;\n", "encontradas 5. Os campos são separados"},
        {"Lote", "ID_SLOTE;NOME;QTE_TRATAMENTO\n9;NOME COM VINTE E UM C;1\n",
         "Linha 2, coluna NOME"},
        // The database refuses the second row (same key as the first): the first is undone.
        {"Planta", "NCC;NC;REP\n700000000005;1;1\n\"700000000005\";2;2\n",
         "Linha 3: a tabela Planta já tem um registro com NCC = 700000000005"},
        // A row that clashes with one already in the file.
        {"Placa", "ID_PLACA;PLACA;CODIGO;TLINHA;TCOLUNA\n9;9;X;8;12\n1;1;Y;8;12\n",
         "Linha 3: a tabela Placa já tem um registro com ID_PLACA = 1"},
        {"Usua", "ID_USER;NOME;CODIGO;SENHA\n9;Ze;ZE;TREZE_LETRAS!\n", "Linha 2, coluna SENHA"},
        {"Configuracao", "ID\n2\n", "não pode ser importada"},
    };
    const QString csv = Path(QStringLiteral("ruim.csv"));
    const QByteArray before = FileBytes(db);
    for (const auto& [table, text, message] : cases) {
        WriteFile(csv, text);
        const AdminRun run = RunAdmin({"import", db, table, csv});
        EXPECT_EQ(run.ExitCode, 1) << text.toStdString();
        EXPECT_TRUE(run.Err.contains(message)) << run.Err.toStdString();
        EXPECT_TRUE(FileBytes(db) == before) << text.toStdString();
    }
    auto connection = OpenStation(db);
    EXPECT_EQ(CountRows(connection.get(), QStringLiteral("Planta")), 400);
    EXPECT_EQ(CountRows(connection.get(), QStringLiteral("Placa")), 4);
}
