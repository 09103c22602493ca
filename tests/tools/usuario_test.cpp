#include "admintool.h"

#include "stationbuilder.h"
#include "xscramble.h"

TEST_F(AdminToolTest, UserAddStoresNormalisedScrambledPasswordsAndCheckMatchesTheLogin)
{
    const QString db = Path(QStringLiteral("usuarios.db"));
    ASSERT_EQ(RunAdmin({"demo", db, "--operacao", "plantio"}).ExitCode, 0);
    const AdminRun added = RunAdmin({"usuario", "add", db, "  joana ", "Joana Souza", " senha1 "});
    ASSERT_EQ(added.ExitCode, 0) << added.Err.toStdString();
    EXPECT_TRUE(added.Out.contains(QStringLiteral("JOANA")));

    {
        // The next free id after the two demo users; the password scrambled and short enough.
        auto connection = OpenStation(db);
        auto query = NewQuery(connection.get());
        query->SetSQL(QStringLiteral("SELECT senha FROM Usua WHERE codigo = 'JOANA' AND "
                                     "id_user = 3 AND nome = 'Joana Souza'"));
        query->Open();
        ASSERT_EQ(query->RecordCount(), 1);
        const QString stored = query->Fields(0).AsString();
        EXPECT_LE(stored.size(), 34);
        EXPECT_EQ(UnscrambleText(stored, QString(kUserPasswordKey)), QStringLiteral("SENHA1"));
    }

    const QList<std::tuple<QString, QString, int>> cases = {
        {"JOANA", "SENHA1", 0}, {"joana", "senha1", 0}, {" JOANA ", " SENHA1", 0},
        {"JOANA", "SENHA2", 1}, {"MARIA", "SENHA1", 1}, {"JOANA", "", 1},
        {"ADMIN", "1234", 0},   {"ADMIN", "4321", 1},   {"operador", "4321", 0},
    };
    for (const auto& [codigo, senha, exitCode] : cases) {
        EXPECT_EQ(RunAdmin({"usuario", "check", db, codigo, senha}).ExitCode, exitCode)
            << codigo.toStdString() << "/" << senha.toStdString();
    }
}

TEST_F(AdminToolTest, UserAddRefusesDuplicatesAndValuesTheColumnsCannotHold)
{
    const QString db = Path(QStringLiteral("recusa.db"));
    ASSERT_EQ(RunAdmin({"create", db, "--operacao", "coleta"}).ExitCode, 0);
    ASSERT_EQ(RunAdmin({"usuario", "add", db, "ANA", "Ana", "1"}).ExitCode, 0);
    const QList<std::pair<QStringList, QString>> cases = {
        {{"ana", "Outra Ana", "2"}, "já está cadastrado"},
        {{"CODIGO_LONGO_16C", "Nome", "1"}, "15 caracteres"},
        {{"BETO", "Beto", "SENHA_12CHAR"}, "senha mais curta"},
        {{"BETO", "  ", "1"}, "nome do usuário"},
        {{"BETO", "Beto", "  "}, "senha deve ser informada"},
        // The client would store "?" for the character, so "SENHAŁ" and "SENHA?" would match.
        {{"BETO", "Beto", "senhał"}, "\"Ł\""},
    };
    for (const auto& [args, message] : cases) {
        const AdminRun run = RunAdmin(QStringList{"usuario", "add", db} + args);
        EXPECT_EQ(run.ExitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.Err.contains(message)) << run.Err.toStdString();
    }
    // Without SENHA on the command line it comes from standard input.
    AdminRun run = RunAdmin({"usuario", "add", db, "CARLA", "Carla"}, "pelo stdin\n");
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(RunAdmin({"usuario", "check", db, "CARLA"}, "PELO STDIN\n").ExitCode, 0);
    auto connection = OpenStation(db);
    EXPECT_EQ(CountRows(connection.get(), QStringLiteral("Usua")), 2);
    // A seven-character password always fits the column, whatever the salt drawn.
    for (int i = 0; i < 20; ++i) {
        const QString code = QStringLiteral("U%1").arg(i);
        AddUser(connection.get(), code, code, QStringLiteral("ZÇ$%&*9"));
        EXPECT_TRUE(CheckUser(connection.get(), code, QStringLiteral("zç$%&*9")));
    }
}
