#include "admintool.h"

#include "shippedsounds.h"
#include "stationbuilder.h"

#include <QDir>
#include <QFileInfo>

TEST_F(AdminToolTest, CreateWritesTheConfigurationRowFromItsOptions)
{
    // The options, then maquina|ini|fim|lote|info|ncc|ncp|version|id_lote|id_tressalin.
    const QList<std::pair<QStringList, QString>> cases = {
        {{"--operacao", "plantio"}, "|0|0||0|1|1|01.000|0|0"},
        {{"--operacao", "COLETA", "--faixa", "200000000001", "200000009999", "--ncc", "EAN-8",
          "--nc-plantio", "ean13", "--lote", "SAFRA 2024"},
         "|200000000001|200000009999|SAFRA 2024|1|0|1|01.000|0|0"},
        // A limit as the label prints it loses its check digit.
        {{"--operacao", "plantio", "--faixa", "12345670", "0", "--nc-plantio", "EAN-8"},
         "|1234567|0||0|1|0|01.000|0|0"},
    };
    // The tool and this test are both one folder down the build tree, which holds the sounds.
    const QString rejection = ShippedAlertSound();
    EXPECT_TRUE(QFileInfo(rejection).isFile()) << rejection.toStdString();
    int n = 0;
    for (const auto& [options, expected] : cases) {
        const QString db = Path(QStringLiteral("c%1.db").arg(++n));
        const AdminRun run = RunAdmin(QStringList{"create", db} + options);
        ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        auto connection = OpenStation(db);
        auto query = NewQuery(connection.get());
        query->SetSQL(QStringLiteral("SELECT * FROM Configuracao"));
        query->Open();
        ASSERT_EQ(query->RecordCount(), 1);
        EXPECT_EQ(query->FieldByName(QStringLiteral("ID")).AsInteger(), 1);
        QStringList actual;
        for (const char* field :
             {"MAQUINA", "RELA_INICIAL", "RELA_FINAL", "DESCRICAO_LOTE", "INFO_DB", "CB_NCC",
              "CB_NC_PLANTIO", "VERSION_MDB", "ID_LOTE", "ID_TRESSALIN"})
            actual << query->FieldByName(QLatin1String(field)).AsString();
        EXPECT_EQ(actual.join(QLatin1Char('|')), expected) << options.join(' ').toStdString();
        EXPECT_EQ(query->FieldByName(QStringLiteral("ALERT_SOUND")).AsString(), rejection);
    }

    // A tool whose sound path would not fit ALERT_SOUND leaves the station silent.
    const QString deep = Path(QString(100, QLatin1Char('d')) + "/bin/tressalin-admin");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(deep).path()));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TRESSALIN_ADMIN_PATH), deep));
    ASSERT_EQ(RunAdmin({"create", Path("fundo.db"), "--operacao", "plantio"}, {}, deep).ExitCode,
              0);
    EXPECT_EQ(
        Count(OpenStation(Path("fundo.db")).get(), "SELECT alert_sound IS NULL FROM Configuracao"),
        1);
}

TEST_F(AdminToolTest, CreateRefusesBadOptionsAndExistingFiles)
{
    const QList<std::tuple<QStringList, int, QString>> cases = {
        {{}, 2, "--operacao"},
        {{"--operacao", "colheita"}, 2, "Operação inválida"},
        {{"--operacao", "plantio", "--ncc", "EAN-9"}, 2, "Tipo de código inválido"},
        {{"--operacao", "plantio", "--faixa", "10"}, 2, "--faixa"},
        {{"--operacao", "plantio", "--faixa", "200000000001", "-5"}, 1, "Limite de faixa inválido"},
        {{"--operacao", "plantio", "--faixa", "4006381333932", "0"},
         1,
         "dígito verificador 2 não confere; para um código EAN-13 o esperado é 1"},
        {{"--operacao", "plantio", "--faixa", "200000000002", "200000000001"},
         1,
         "início da faixa"},
        {{"--operacao", "plantio", "--lote", "DESCRICAO COM MAIS DE 20"}, 1, "20 caracteres"},
        {{"--operacao", "plantio", "--desconhecida"}, 2, "Opção desconhecida"},
    };
    const QString db = Path(QStringLiteral("recusado.db"));
    for (const auto& [options, exitCode, message] : cases) {
        const AdminRun run = RunAdmin(QStringList{"create", db} + options);
        EXPECT_EQ(run.ExitCode, exitCode) << options.join(' ').toStdString();
        EXPECT_TRUE(run.Err.contains(message)) << run.Err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(db)) << options.join(' ').toStdString();
    }

    const QString existing = Path(QStringLiteral("existente.db"));
    WriteFile(existing, "not a station file");
    const AdminRun run = RunAdmin({"create", existing, "--operacao", "plantio"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(QStringLiteral("já existe")));
    EXPECT_EQ(FileBytes(existing), QByteArray("not a station file"));
}
