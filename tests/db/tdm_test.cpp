#include "connectionfile.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "data/xstationfile.h"
#include "dbstation.h"
#include "scriptedpresenter.h"
#include "tdm.h"
#include "xexception.h"
#include "xpackbuffer.h"
#include "xscramble.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Root writes to read-only files anyway, so such checks run as an ordinary user.
bool AsOrdinaryUser(const std::function<bool()>& check)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0)
            ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class TDMTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        dm.SetProgramPath(dir.filePath(u"prog"_s));
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    void Remember(const QString& databasePath)
    {
        ASSERT_TRUE(WriteConnectionFile(dm.ConnectionFile(), BuildConnectionFile(databasePath)));
    }

    QTemporaryDir dir;
    TDM dm;
    ScriptedPresenter presenter;
};

} // namespace

TEST(TDM, ExtractDataSourceTakesTheFirstItemTrimmed)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Provider=P;Data Source=/a/b.db;Persist Security Info=False", "/a/b.db"},
        {"Provider=P; Data Source= /a b/c.db ;X=1", "/a b/c.db"},
        {"Data Source=x=y;Data Source=second", "x=y"},
        {"Provider=P;data source=/lower.db", ""},
        {"Provider=P;Persist Security Info=False", ""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(TDM::ExtractDataSource(QString::fromUtf8(text)), QString::fromUtf8(expected))
            << text;
}

TEST_F(TDMTest, PathWithBlanksAroundItIsTakenOnlyWhenTheUntrimmedNameExists)
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    NewStation(Path("base.db"));
    const QString padded = u"  base.db  "_s;

    Remember(padded);
    dm.LoadConnectionFile();
    EXPECT_EQ(presenter.Texts(), QStringList{u"Nome do Banco de Dados inválido.\r\nbase.db"_s});
    EXPECT_EQ(dm.Conn->ConnectionString(),
              u"Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False"_s);

    presenter.Clear();
    ASSERT_TRUE(QFile::copy(u"base.db"_s, padded));
    dm.LoadConnectionFile();
    EXPECT_EQ(presenter.Count(), 0);
    EXPECT_TRUE(dm.DataSourceExists());
    EXPECT_TRUE(dm.Conn->ConnectionString().contains(u"Data Source="_s + padded + u";"_s));

    presenter.Clear();
    dm.UseDatabaseFile(u"   "_s);
    EXPECT_EQ(presenter.Texts(), QStringList{u"Nome do Banco de Dados inválido."_s});
    QDir::setCurrent(previous);

    // Only an existing file is named.
    dm.SetDatabase(Path("missing.db"));
    EXPECT_EQ(dm.DatabasePath(), QString());
    dm.SetDatabase(Path("base.db"));
    EXPECT_EQ(dm.DatabasePath(), Path("base.db"));
    dm.ResetConnectionString();
    EXPECT_FALSE(dm.DataSourceExists());
}

TEST_F(TDMTest, EachConnectFailureShowsItsBoxAndStaysClosed)
{
    struct Case
    {
        const char* title;
        std::function<void()> prepare;
        QStringList texts; // exact texts; an entry ending in "…" is a prefix
    };
    const QString otherPassword = Path("other.db");
    CreateStationFile(otherPassword, u"segredo"_s);
    const QString gone = Path("gone.db");
    const QString busy = NewStation(Path("busy.db"));
    std::unique_ptr<TXConnection> holder;
    dm.Conn->SetConnectionTimeout(0);

    const Case cases[] = {
        {"no connection file", [] {}, {u"Banco de Dados  não Encontrado."_s}},
        {"remembered file gone",
         [&] { Remember(gone); },
         // The path on a line of its own, and in the second box.
         {u"Nome do Banco de Dados inválido.\r\n"_s + gone,
          u"Banco de Dados %1 não Encontrado."_s.arg(gone)}},
        {"remembered file empty",
         [&] { WriteAll(dm.ConnectionFile(), QByteArray()); },
         {u"Banco de Dados  não Encontrado."_s}},
        {"another password",
         [&] { Remember(otherPassword); },
         {u"O arquivo "_s + otherPassword +
          u" não é compatível com o banco de dados utilizado na aplicação.\r\nErro: …"_s}},
        {"file locked by another program",
         [&] {
             holder = OpenStation(busy);
             Exec(holder.get(), "BEGIN EXCLUSIVE");
             Remember(busy);
         },
         {u"O arquivo "_s + busy +
          u" está em uso por outro programa.\r\nFeche o outro programa e tente "
          "novamente.\r\nErro: database is locked"_s}},
        {"damaged connection file",
         [&] {
             TPackBuffer buffer;
             PackInitWrite(buffer);
             PackPutInt32(buffer, 1);
             PackPutInt32(buffer, 50); // a path length beyond the content
             PackFinish(buffer);
             WriteAll(dm.ConnectionFile(), ScrambleText(buffer.Data, kConnectionFileKey));
         },
         {u"O arquivo de conexão "_s + dm.ConnectionFile() +
          u" está danificado e não pode ser lido.\r\n"
          "Selecione o Banco de Dados a conectar."_s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        QFile::remove(dm.ConnectionFile());
        dm.ResetConnectionString();
        presenter.Clear();
        c.prepare();
        EXPECT_FALSE(dm.SetConnected(true));
        EXPECT_FALSE(dm.Conn->Connected());
        const QStringList texts = presenter.Texts();
        ASSERT_EQ(texts.size(), c.texts.size()) << texts.join(QLatin1Char('|')).toStdString();
        for (int i = 0; i < texts.size(); ++i) {
            if (c.texts[i].endsWith(QChar(0x2026))) {
                EXPECT_TRUE(texts[i].startsWith(c.texts[i].chopped(1))) << texts[i].toStdString();
                EXPECT_GT(texts[i].size(), c.texts[i].size() - 1); // the provider's message
            } else {
                EXPECT_EQ(texts[i], c.texts[i]);
            }
            EXPECT_EQ(presenter.Requests()[i].Kind, TXMessageKind::Error);
        }
    }
}

TEST_F(TDMTest, ConnectsToTheRememberedFileAndProbesOnEveryCall)
{
    const QString db = NewStation(Path("base.db"));
    Remember(db);
    dm.ResetConnectionString();
    ASSERT_TRUE(dm.SetConnected(true));
    EXPECT_TRUE(dm.IsConnected());
    EXPECT_TRUE(dm.SetConnected(true)); // already connected

    // Another program holding the file is no lost connection, and the probe never waits for it.
    auto holder = OpenStation(db);
    Exec(holder.get(), "BEGIN EXCLUSIVE");
    EXPECT_TRUE(dm.IsConnected());
    holder.reset();
    EXPECT_EQ(presenter.Count(), 0);

    // A file gone from under the open connection is said once and the connection closed.
    QSignalSpy lost(&dm, &TDM::ConnectionLost);
    ASSERT_TRUE(QFile::rename(db, Path("moved.db")));
    EXPECT_FALSE(dm.IsConnected());
    EXPECT_FALSE(dm.Conn->Connected());
    EXPECT_FALSE(dm.IsConnected());
    EXPECT_EQ(lost.count(), 1);
    ASSERT_EQ(presenter.Count(), 1);
    EXPECT_TRUE(presenter.Last().Text.startsWith(
        u"Erro ao verificar conexão com o banco de dados corrente.\r\n"
        "Erro (Classe): (EOleException) "_s));
}

TEST_F(TDMTest, AReadOnlyFileOrFolderIsRefusedWithItsReason)
{
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7755)));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"ro"_s));
    const QString db = NewStation(Path("ro/base.db"));
    const auto refused = [&](const QString& reason) {
        return AsOrdinaryUser([&] {
            dm.SetDatabase(db);
            return !dm.SetConnected(true) && !dm.Conn->Connected() &&
                   presenter.Texts() ==
                       QStringList{u"O arquivo "_s + db + u" não pode ser gravado: "_s + reason +
                                   u".\r\nPeça permissão de gravação ao "
                                   "administrador do computador."_s};
        });
    };
    ASSERT_TRUE(QFile::setPermissions(db, QFileDevice::Permissions(0x4444)));
    EXPECT_TRUE(refused(u"o arquivo é somente leitura"_s));
    ASSERT_TRUE(QFile::setPermissions(db, QFileDevice::Permissions(0x6666)));
    ASSERT_TRUE(QFile::setPermissions(Path("ro"), QFileDevice::Permissions(0x5555)));
    EXPECT_TRUE(refused(u"a pasta "_s + Path("ro") + u" é somente leitura"_s));
    ASSERT_TRUE(QFile::setPermissions(Path("ro"), QFileDevice::Permissions(0x7777)));
    EXPECT_TRUE(AsOrdinaryUser([&] {
        dm.SetDatabase(db);
        return dm.SetConnected(true);
    }));
}

TEST_F(TDMTest, DisconnectWithOpenDataSetsAsksFirst)
{
    dm.SetDatabase(NewStation(Path("base.db")));
    ASSERT_TRUE(dm.SetConnected(true));
    auto query = NewQuery(dm.Conn);
    query->SetSQL(u"SELECT * FROM Configuracao"_s);
    query->Open();
    ASSERT_EQ(dm.ActiveDataSetCount(), 1);

    presenter.QueueAnswer(TXMessageButton::No);
    EXPECT_FALSE(dm.SetConnected(false));
    EXPECT_TRUE(dm.Conn->Connected());
    EXPECT_EQ(presenter.Last().Text, u"Há conexões ativas. Desconectar assim mesmo?"_s);

    presenter.QueueAnswer(TXMessageButton::Yes);
    EXPECT_TRUE(dm.SetConnected(false));
    EXPECT_FALSE(dm.Conn->Connected());
    EXPECT_EQ(presenter.Count(), 2);
}

TEST_F(TDMTest, OnlyAVerifiedConnectRewritesTheConnectionFile)
{
    const QString good = NewStation(Path("good.db"));
    const QString older = NewStation(Path("older.db"));
    const QString bkp = BackupFilePathFor(dm.ConnectionFile());
    Remember(older);
    Remember(good); // .dat names good.db, .bkp older.db
    const QByteArray dat = ReadAll(dm.ConnectionFile());
    const QByteArray backup = ReadAll(bkp);

    const QString bad = NewStation(Path("bad.db"));
    Exec(OpenStation(bad).get(), "UPDATE Configuracao SET version_mdb = '01.001'");
    dm.UseDatabaseFile(bad);
    EXPECT_FALSE(dm.ConnectVerified(true));
    EXPECT_FALSE(dm.Conn->Connected());
    EXPECT_EQ(ReadAll(dm.ConnectionFile()), dat);
    EXPECT_EQ(ReadAll(bkp), backup);

    presenter.Clear();
    dm.ResetConnectionString();
    ASSERT_TRUE(dm.ConnectVerified(true)); // reads good.db from the file
    EXPECT_EQ(dm.DatabasePath(), good);
    EXPECT_EQ(ReadAll(bkp), dat);
    EXPECT_EQ(ReadConnectionPayload(ReadAll(dm.ConnectionFile())), good);
    EXPECT_EQ(presenter.Count(), 0);
}

TEST(TDM, ConnectFailureTextOfOtherErrorsNamesTheirClass)
{
    EXPECT_EQ(ConnectFailureText(u"/d/x.db"_s, u"EFOpenError"_s, u"bad"_s),
              u"Erro ao conectar ao banco de dados.\r\nErro: bad\r\n"
              "Help Context: EFOpenError"_s);
}
