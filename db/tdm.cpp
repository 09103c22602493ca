#include "tdm.h"

#include "appschema.h"
#include "connectionfile.h"
#include "data/txconnection.h"
#include "data/xsqlite.h"
#include "txfile.h"
#include "xexception.h"
#include "xmessages.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <unistd.h>

TDM* DM = nullptr;

namespace {

const QString kDesignConnectionString =
    QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False");
const QString kDataSourceItem = QStringLiteral("Data Source=");
constexpr int kConnTimeoutSeconds = 5;

} // namespace

TDM::TDM(QObject* parent)
    : QObject(parent), Conn(new TXConnection(this)), Conn_Check(new TXConnection(this)),
      m_programPath(QCoreApplication::applicationFilePath())
{
    Conn->SetConnectionString(kDesignConnectionString);
    Conn->SetConnectionTimeout(kConnTimeoutSeconds);
    Conn_Check->SetConnectionString(kDesignConnectionString);
    // The probe runs on every status refresh: it must never hold the window.
    Conn_Check->SetConnectionTimeout(0);
}

TDM::~TDM()
{
    if (DM == this)
        DM = nullptr;
}

QString ConnectFailureText(const QString& databasePath, const QString& className,
                           const QString& message)
{
    if (IsLockedMessage(message))
        return QStringLiteral("O arquivo ") + databasePath +
               QStringLiteral(" está em uso por outro programa.\r\n"
                              "Feche o outro programa e tente novamente.\r\nErro: ") +
               message;
    if (className.toUpper() == QStringLiteral("EOLEEXCEPTION"))
        return QStringLiteral("O arquivo ") + databasePath +
               QStringLiteral(" não é compatível com o banco de dados utilizado na aplicação.") +
               QStringLiteral("\r\n") + QStringLiteral("Erro: ") + message;
    return QStringLiteral("Erro ao conectar ao banco de dados.\r\nErro: ") + message +
           QStringLiteral("\r\n") + QStringLiteral("Help Context: ") + className;
}

QString WriteAccessProblem(const QString& databasePath)
{
    const QFileInfo info(databasePath);
    QString reason;
    if (::access(QFile::encodeName(info.absoluteFilePath()).constData(), W_OK) != 0)
        reason = QStringLiteral("o arquivo é somente leitura");
    else if (::access(QFile::encodeName(info.absolutePath()).constData(), W_OK | X_OK) != 0)
        reason =
            QStringLiteral("a pasta ") + info.absolutePath() + QStringLiteral(" é somente leitura");
    if (reason.isEmpty())
        return {};
    return QStringLiteral("O arquivo ") + databasePath + QStringLiteral(" não pode ser gravado: ") +
           reason +
           QStringLiteral(".\r\nPeça permissão de gravação ao administrador do computador.");
}

QString TDM::ConnectionFile() const
{
    return ConnectionFilePathFor(m_programPath);
}

void TDM::SetDatabase(const QString& path)
{
    if (!path.isEmpty() && QFile::exists(path)) {
        Conn->SetConnectionString(
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
            QStringLiteral(";") + QStringLiteral("Persist Security Info=False;") +
            QStringLiteral("Jet OLEDB:Database Password=") + kDatabasePassword);
    } else {
        Conn->SetConnectionString(
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;"
                           "Jet OLEDB:Database Password=") +
            kDatabasePassword);
    }
}

void TDM::ResetConnectionString()
{
    SetDatabase(QString());
    m_triedPath.clear();
}

void TDM::UseDatabaseFile(const QString& path)
{
    if (!path.trimmed().isEmpty() && QFile::exists(path)) {
        SetDatabase(path);
        return;
    }
    m_triedPath = path.trimmed();
    ShowErrorMessage(QStringLiteral("Nome do Banco de Dados inválido.") +
                     (m_triedPath.isEmpty() ? QString() : QStringLiteral("\r\n") + m_triedPath));
}

QString TDM::TriedDatabasePath() const
{
    const QString path = DatabasePath();
    return path.isEmpty() ? m_triedPath : path;
}

QString TDM::ExtractDataSource(const QString& connectionString)
{
    const QStringList items = connectionString.split(QLatin1Char(';'));
    for (const QString& item : items) {
        const QString trimmed = item.trimmed();
        if (trimmed.startsWith(kDataSourceItem))
            return trimmed.mid(trimmed.indexOf(QLatin1Char('=')) + 1).trimmed();
    }
    return {};
}

QString TDM::DatabasePath() const
{
    return ExtractDataSource(Conn->ConnectionString());
}

bool TDM::DataSourceExists() const
{
    const QStringList items = Conn->ConnectionString().split(QLatin1Char(';'));
    for (const QString& item : items) {
        if (item.startsWith(kDataSourceItem) && QFile::exists(item.mid(kDataSourceItem.size())))
            return true;
    }
    return false;
}

int TDM::ActiveDataSetCount() const
{
    return Conn->DataSetCount();
}

bool TDM::IsConnected()
{
    if (!Conn->Connected())
        return false;
    try {
        Conn_Check->SetConnectionString(Conn->ConnectionString());
        Conn_Check->Open();
        const bool opened = Conn_Check->Connected();
        Conn_Check->Close();
        if (opened)
            return true;
    } catch (const XException& e) {
        Conn_Check->Close();
        // Another connection writing proves the file is there.
        if (IsLockedMessage(e.Message()))
            return true;
        ShowErrorMessage(QStringLiteral("Erro ao verificar conexão com o banco de dados corrente."
                                        "\r\nErro (Classe): (") +
                         e.ClassName() + QStringLiteral(") ") + e.Message());
    }
    // Screens must not go on writing through a connection to a file that is gone.
    Conn->Close();
    emit ConnectionLost();
    return false;
}

bool TDM::SetConnected(bool value)
{
    if (IsConnected() == value)
        return true;
    if (!value) {
        if (ActiveDataSetCount() != 0 &&
            !AskConfirmation(QStringLiteral("Há conexões ativas. Desconectar assim mesmo?")))
            return false;
        emit Disconnecting();
        Conn->Close();
        return true;
    }
    if (DatabasePath().isEmpty() && !LoadConnectionFile())
        return false;
    if (!DataSourceExists()) {
        ShowErrorMessage(QStringLiteral("Banco de Dados ") + TriedDatabasePath() +
                         QStringLiteral(" não Encontrado."));
        return false;
    }
    // SQLite would open a read-only file read-only and fail every later scan.
    if (const QString problem = WriteAccessProblem(DatabasePath()); !problem.isEmpty()) {
        ShowErrorMessage(problem);
        return false;
    }
    try {
        Conn->Open();
    } catch (const XException& e) {
        ShowErrorMessage(ConnectFailureText(DatabasePath(), e.ClassName(), e.Message()));
        return false;
    }
    return true;
}

bool TDM::ConnectVerified(bool remember)
{
    if (!SetConnected(true))
        return false;
    bool verified = false;
    try {
        verified = VerifyDatabase(Conn);
    } catch (const std::exception& e) {
        // An unverified connection must not stay open behind the connection screen.
        const auto* own = dynamic_cast<const XException*>(&e);
        ShowErrorMessage(own ? own->Message() : QString::fromUtf8(e.what()));
    }
    if (!verified) {
        Conn->Close();
        return false;
    }
    if (remember)
        SaveConnectionFile();
    return true;
}

bool TDM::LoadConnectionFile(bool reportDamage)
{
    TXFile file;
    file.SetFileName(ConnectionFile());
    file.SetWriteMode(false);
    if (!file.Open(false))
        return true;
    const QByteArray content = file.Read(-1);
    file.Close();
    std::optional<QString> path;
    try {
        path = ReadConnectionPayload(content);
    } catch (const XException&) {
        // Treated as "no path", so the operator can choose the file again.
        if (reportDamage)
            ShowErrorMessage(QStringLiteral("O arquivo de conexão ") + ConnectionFile() +
                             QStringLiteral(" está danificado e não pode ser lido.\r\n"
                                            "Selecione o Banco de Dados a conectar."));
        return false;
    }
    if (path)
        UseDatabaseFile(*path);
    return true;
}

bool TDM::SaveConnectionFile()
{
    return WriteConnectionFile(ConnectionFile(), BuildConnectionFile(DatabasePath()));
}
