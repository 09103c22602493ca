#include "admintool.h"

#include "csvtext.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "stationbuilder.h"
#include "xexception.h"

TEST(CsvText, ParsesQuotedFieldsAndCountsLines)
{
    struct Case
    {
        QString Text;
        QString Expected; // records as "line:field|field", joined by " / "
    };
    const QList<Case> cases = {
        {"a;b;c\r\n1;2;3\r\n", "1:a|b|c / 2:1|2|3"},
        {"a;b\n\n1;\n", "1:a|b / 3:1|"},
        {"\"x;y\";\"say \"\"hi\"\"\"\n", "1:x;y|say \"hi\""},
        {"\"two\nlines\";z\nnext;1", "1:two\nlines|z / 3:next|1"},
        {";\n\"\"", "1:| / 2:"},
    };
    for (const Case& c : cases) {
        QStringList records;
        for (const CsvRecord& record : ParseCsv(c.Text))
            records << QString::number(record.Line) + QLatin1Char(':') + record.Fields.join('|');
        EXPECT_EQ(records.join(QStringLiteral(" / ")), c.Expected) << c.Text.toStdString();
    }
    for (const QString& bad : {QStringLiteral("a\n\"open;b\nc"), QStringLiteral("a\n\"x\"y;b"),
                               QStringLiteral("a\nx\"y")}) {
        try {
            ParseCsv(bad);
            ADD_FAILURE() << bad.toStdString();
        } catch (const XException& error) {
            EXPECT_TRUE(error.Message().startsWith(QStringLiteral("Linha 2:")))
                << error.Message().toStdString();
        }
    }
    const QString written = CsvLine({"a;b", "x\"y", "plain", ""});
    EXPECT_EQ(written, QStringLiteral("\"a;b\";\"x\"\"y\";plain;\r\n"));
    EXPECT_EQ(ParseCsv(written).first().Fields, (QStringList{"a;b", "x\"y", "plain", ""}));
}

TEST_F(AdminToolTest, ImportAddsRowsByHeaderNameAndScramblesUserPasswords)
{
    const QString db = Path(QStringLiteral("import.db"));
    ASSERT_EQ(RunAdmin({"create", db, "--operacao", "plantio"}).ExitCode, 0);

    const QString plantas = Path(QStringLiteral("plantas.csv"));
    WriteFile(plantas,
              "\xEF\xBB\xBFrep;ncc;NC\r\n1;\"789100000001\";5000\r\n2;789100000002;5000,5\r\n");
    AdminRun run = RunAdmin({"import", db, "planta", plantas});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.contains(QStringLiteral("2 registro(s)")));

    const QString usuarios = Path(QStringLiteral("usuarios.csv"));
    WriteFile(usuarios, "ID_USER;NOME;CODIGO;SENHA\n7;\"Souza; João\"; maria ;segredo\n");
    run = RunAdmin({"import", db, "Usua", usuarios});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();

    auto connection = OpenStation(db);
    auto query = NewQuery(connection.get());
    query->SetSQL(QStringLiteral("SELECT ncc, nc, rep FROM Planta ORDER BY ncc"));
    query->Open();
    ASSERT_EQ(query->RecordCount(), 2);
    query->Last();
    EXPECT_EQ(query->FieldByName(QStringLiteral("ncc")).AsLargeInt(), Q_INT64_C(789100000002));
    EXPECT_DOUBLE_EQ(query->FieldByName(QStringLiteral("nc")).AsFloat(), 5000.5);
    EXPECT_EQ(query->FieldByName(QStringLiteral("rep")).AsInteger(), 2);

    query->SetSQL(QStringLiteral("SELECT nome, codigo, senha FROM Usua WHERE id_user = 7"));
    query->Open();
    EXPECT_EQ(query->FieldByName(QStringLiteral("nome")).AsString(), QStringLiteral("Souza; João"));
    EXPECT_EQ(query->FieldByName(QStringLiteral("codigo")).AsString(), QStringLiteral("MARIA"));
    EXPECT_NE(query->FieldByName(QStringLiteral("senha")).AsString(), QStringLiteral("SEGREDO"));
    EXPECT_TRUE(CheckUser(connection.get(), QStringLiteral("maria"), QStringLiteral("segredo")));
}

TEST_F(AdminToolTest, ImportRefusesABadRowAndLeavesTheFileUnchanged)
{
    const QString db = Path(QStringLiteral("intacto.db"));
    ASSERT_EQ(RunAdmin({"demo", db, "--operacao", "coleta"}).ExitCode, 0);
    struct Case
    {
        QString Table;
        QByteArray Csv;
        QString Message;
    };
    const QList<Case> cases = {
        {"Planta", "NCC;NC;REP\n1;1;1\n2;1;1\nabc;1;1\n", "Linha 4, coluna NCC"},
        {"Planta", "NCC;NC;REP\n1;1;3000000000\n", "Linha 2, coluna REP"},
        {"Planta", "NCC;NC;REP\n1;1\n", "Linha 2: esperadas 3 colunas, encontradas 2"},
        {"Planta", "NCC;NC;REP\n1;;1\n", "Linha 2, coluna NC: valor obrigatório"},
        {"Planta", "NCC;NC\n1;1\n", "Linha 1: falta a coluna obrigatória REP"},
        {"Planta", "NCC;NC;REP;COR\n", "Linha 1: a tabela Planta não tem a coluna \"COR\""},
        {"Lote", "ID_SLOTE;NOME;QTE_TRATAMENTO\n9;NOME COM VINTE E UM C;1\n",
         "Linha 2, coluna NOME"},
        {"Lote", "ID_SLOTE;NOME;QTE_TRATAMENTO\n9;\"aberto;1\n", "Linha 2: campo entre aspas"},
        // The database refuses the second row (same key as the first): the first is undone.
        {"Planta", "NCC;NC;REP\n5;1;1\n\"5\";2;2\n",
         "Linha 3: o banco de dados recusou o registro"},
        // A row that clashes with one already in the file.
        {"Placa", "ID_PLACA;PLACA;CODIGO;TLINHA;TCOLUNA\n9;9;X;8;12\n1;1;Y;8;12\n",
         "Linha 3: o banco de dados recusou o registro"},
        {"Usua", "ID_USER;NOME;CODIGO;SENHA\n9;Ze;ZE;TREZE_LETRAS!\n", "Linha 2, coluna SENHA"},
        {"Configuracao", "ID\n2\n", "não pode ser importada"},
    };
    for (const Case& c : cases) {
        const QString csv = Path(QStringLiteral("ruim.csv"));
        WriteFile(csv, c.Csv);
        const QByteArray before = FileBytes(db);
        const AdminRun run = RunAdmin({"import", db, c.Table, csv});
        EXPECT_EQ(run.ExitCode, 1) << c.Csv.toStdString();
        EXPECT_TRUE(run.Err.contains(c.Message)) << run.Err.toStdString();
        EXPECT_TRUE(FileBytes(db) == before) << c.Csv.toStdString();
    }
    auto connection = OpenStation(db);
    EXPECT_EQ(CountRows(connection.get(), QStringLiteral("Planta")), 400);
    EXPECT_EQ(CountRows(connection.get(), QStringLiteral("Placa")), 4);
}
