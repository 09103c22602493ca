#include "tdm.h"

#include "appschema.h"
#include "connectionfile.h"
#include "data/txconnection.h"
#include "txfile.h"
#include "xexception.h"
#include "xmessages.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

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
}

TDM::~TDM()
{
    if (DM == this)
        DM = nullptr;
}

QString ConnectFailureText(const QString& databasePath, const QString& className,
                           const QString& message)
{
    if (className.toUpper() == QStringLiteral("EOLEEXCEPTION"))
        return QStringLiteral("O arquivo ") + databasePath +
               QStringLiteral(" não é compatível com o banco de dados utilizado na aplicação.") +
               QStringLiteral("\r\n") + QStringLiteral("Erro: ") + message;
    return QStringLiteral("Erro ao conectar ao banco de dados.\r\nErro: ") + message +
           QStringLiteral("\r\n") + QStringLiteral("Help Context: ") + className;
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
}

void TDM::UseDatabaseFile(const QString& path)
{
    if (!path.trimmed().isEmpty() && QFile::exists(path))
        SetDatabase(path);
    else
        ShowErrorMessage(QStringLiteral("Nome do Banco de Dados inválido."));
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
        return opened;
    } catch (const XException& e) {
        Conn_Check->Close();
        ShowErrorMessage(QStringLiteral("Erro ao verificar conexão com o banco de dados corrente."
                                        "\r\nErro (Classe): (") +
                         e.ClassName() + QStringLiteral(") ") + e.Message());
        return false;
    }
}

bool TDM::SetConnected(bool value)
{
    if (IsConnected() == value)
        return true;
    if (!value) {
        if (ActiveDataSetCount() != 0 &&
            !AskConfirmation(QStringLiteral("Há conexões ativas. Desconectar assim mesmo?")))
            return false;
        Conn->Close();
        return true;
    }
    if (DatabasePath().isEmpty())
        LoadConnectionFile();
    if (!DataSourceExists()) {
        ShowErrorMessage(QStringLiteral("Banco de Dados ") + DatabasePath() +
                         QStringLiteral(" não Encontrado."));
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
    if (!VerifyDatabase(Conn)) {
        Conn->Close();
        return false;
    }
    if (remember)
        SaveConnectionFile();
    return true;
}

void TDM::LoadConnectionFile()
{
    TXFile file;
    file.SetFileName(ConnectionFile());
    file.SetWriteMode(false);
    if (!file.Open(false))
        return;
    const QByteArray content = file.Read(-1);
    file.Close();
    if (const std::optional<QString> path = ReadConnectionPayload(content))
        UseDatabaseFile(*path);
}

bool TDM::SaveConnectionFile()
{
    return WriteConnectionFile(ConnectionFile(), BuildConnectionFile(DatabasePath()));
}
