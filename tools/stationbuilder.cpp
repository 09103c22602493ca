#include "stationbuilder.h"

#include "data/txtransaction.h"
#include "stationschema.h"

#include "appschema.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "data/xstationfile.h"
#include "shippedsounds.h"
#include "xcodepage.h"
#include "xexception.h"
#include "xscramble.h"

#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace {

const QString kInsertConfigSQL = QStringLiteral(
    "INSERT INTO Configuracao (ID, MAQUINA, RELA_INICIAL, RELA_FINAL, ID_LOTE, DESCRICAO_LOTE,"
    " INFO_DB, ID_TRESSALIN, VERSION_MDB, CB_NCC, CB_NC_PLANTIO, ALERT_SOUND)"
    " VALUES (1, :maquina, :rela_inicial, :rela_final, 0, :descricao_lote,"
    " :info_db, 0, :version_mdb, :cb_ncc, :cb_nc_plantio, :alert_sound)");

const QString kSelectConfigSQL = QStringLiteral(
    "SELECT maquina, rela_inicial, rela_final, descricao_lote, info_db, cb_ncc, cb_nc_plantio"
    "   FROM Configuracao ORDER BY id");

const QString kSelectUserSQL =
    QStringLiteral("SELECT id_user, nome, senha   FROM Usua WHERE (codigo = :codigo) ");

const QString kInsertUserSQL = QStringLiteral(
    "INSERT INTO Usua (ID_USER, NOME, CODIGO, SENHA) VALUES (:id_user, :nome, :codigo, :senha)");

const QString kInsertPlacaSQL =
    QStringLiteral("INSERT INTO Placa (ID_PLACA, PLACA, CODIGO, TLINHA, TCOLUNA)"
                   " VALUES (:id_placa, :placa, :codigo, :tlinha, :tcoluna)");

const QString kInsertPocoSQL =
    QStringLiteral("INSERT INTO Placa_Poco (ID_PLACA, PLACA, POCO, LINHA, COLUNA, SEQ_COLETA, "
                   "AMOSTRA, STATUS_POCO)"
                   " VALUES (:id_placa, :placa, :poco, :linha, :coluna, :seq_coleta, :amostra, 0)");

const QString kCollectWellSQL = QStringLiteral(
    "UPDATE Placa_Poco SET nc_plantio = :nc_plantio, user_coleta = :user_coleta,"
    " data_coleta = :data_coleta, status_poco = 1, origem_coleta = :origem_coleta"
    " WHERE (id_placa = :id_placa) AND (seq_coleta = :seq_coleta) AND (amostra = 'T')"
    " AND (nc_plantio IS NULL)");

// Scrambling adds at least 23 characters around a password, and Usua.SENHA holds 34: up to 7
// characters always fit, 8 to 11 only for some passwords and salts, 12 or more never.
constexpr int kSenhaSize = 34;

void Execute(TXConnection* connection, const QString& sql)
{
    auto command = NewCommand(connection);
    command->SetCommandText(sql);
    command->Execute();
}

void CheckOptions(const StationOptions& options)
{
    if (options.RelaInicial < 0 || options.RelaFinal < 0)
        throw XException(QStringLiteral("Os limites da faixa não podem ser negativos."));
    if (options.RelaFinal > 0 && options.RelaInicial > options.RelaFinal) {
        throw XException(
            QStringLiteral("O início da faixa deve ser menor ou igual ao fim da faixa."));
    }
    if (options.DescricaoLote.size() > 20) {
        throw XException(QStringLiteral("A descrição do lote deve ter no máximo 20 caracteres."));
    }
}

void InsertConfiguracao(TXConnection* connection, const StationOptions& options)
{
    auto command = NewCommand(connection);
    command->SetCommandText(kInsertConfigSQL);
    command->ParamByName(QStringLiteral("maquina")).SetString(QString());
    command->ParamByName(QStringLiteral("rela_inicial")).SetFloat(options.RelaInicial);
    command->ParamByName(QStringLiteral("rela_final")).SetFloat(options.RelaFinal);
    command->ParamByName(QStringLiteral("descricao_lote")).SetString(options.DescricaoLote);
    command->ParamByName(QStringLiteral("info_db")).SetInteger(int(options.Operation));
    command->ParamByName(QStringLiteral("version_mdb")).SetString(kStationSchemaVersion);
    command->ParamByName(QStringLiteral("cb_ncc")).SetInteger(int(options.CbNcc));
    command->ParamByName(QStringLiteral("cb_nc_plantio")).SetInteger(int(options.CbNcPlantio));
    if (options.AlertSound.isEmpty())
        command->ParamByName(QStringLiteral("alert_sound")).SetNull(TXParamType::String);
    else
        command->ParamByName(QStringLiteral("alert_sound")).SetString(options.AlertSound);
    command->Execute();
}

void RemoveStationFile(const QString& path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

BarcodeType StoredBarcodeType(int index)
{
    return index == int(BarcodeType::Ean8) ? BarcodeType::Ean8 : BarcodeType::Ean13;
}

} // namespace

QString StationConnectionString(const QString& path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
           QStringLiteral(";Persist Security Info=False;Jet OLEDB:Database Password=") +
           kStationPassword;
}

std::unique_ptr<TXConnection> OpenStation(const QString& path)
{
    if (!QFileInfo::exists(path))
        throw XException(QStringLiteral("Arquivo %1 não encontrado.").arg(path));
    auto connection = std::make_unique<TXConnection>();
    connection->SetConnectionString(StationConnectionString(path));
    try {
        connection->Open();
    } catch (const XException& error) {
        const QString explained = ExplainStationError(error.Message());
        if (!explained.isEmpty())
            throw XException(explained, error.ClassName());
        if (error.Message().startsWith(QLatin1String("Unrecognized database format"))) {
            QFile file(path);
            const bool sqlite = file.open(QIODevice::ReadOnly) &&
                                file.read(16) == QByteArray("SQLite format 3", 16);
            throw XException(
                sqlite ? QStringLiteral("O arquivo %1 é um banco de dados SQLite de outro programa,"
                                        " não um banco de dados de estação Tressalin.")
                             .arg(path)
                       : QStringLiteral("O arquivo %1 não é um banco de dados de estação"
                                        " Tressalin.")
                             .arg(path),
                error.ClassName());
        }
        throw XException(QStringLiteral("Não foi possível abrir o banco de dados %1: %2")
                             .arg(path, error.Message()),
                         error.ClassName());
    }
    return connection;
}

void RequireWritableStation(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return; // OpenStation says so
    if (::access(QFile::encodeName(path).constData(), W_OK) != 0) {
        throw XException(
            QStringLiteral("O arquivo %1 é somente leitura; nada foi gravado.").arg(path));
    }
    const QString folder = info.absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0) {
        throw XException(QStringLiteral("A pasta %1 não permite gravação (o banco de dados grava"
                                        " nela um arquivo de diário ao lado dele); nada foi"
                                        " gravado.")
                             .arg(folder));
    }
}

QString ExplainStationError(const QString& engineMessage)
{
    if (engineMessage.contains(QLatin1String("database is locked")) ||
        engineMessage.contains(QLatin1String("database table is locked"))) {
        return QStringLiteral("O banco de dados está em uso por outro programa (a estação aberta"
                              " nele, por exemplo); feche-o e tente de novo. Nada foi gravado.");
    }
    if (engineMessage.contains(QLatin1String("readonly database"))) {
        return QStringLiteral("O arquivo do banco de dados ou a sua pasta é somente leitura;"
                              " nada foi gravado.");
    }
    return {};
}

void CreateStation(const QString& path, const StationOptions& options)
{
    if (path.trimmed().isEmpty())
        throw XException(QStringLiteral("Informe o arquivo do banco de dados."));
    // The client splits its connection string at ';' and could never open such a path.
    if (path.contains(QLatin1Char(';')))
        throw XException(QStringLiteral("O caminho do banco de dados não pode conter ';'."));
    if (QFileInfo::exists(path))
        throw XException(QStringLiteral("O arquivo %1 já existe e não será alterado.").arg(path));
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir())
        throw XException(QStringLiteral("A pasta %1 não existe.").arg(folder));
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        throw XException(QStringLiteral("A pasta %1 não permite gravação.").arg(folder));
    CheckOptions(options);

    CreateStationFile(path, kStationPassword);
    try {
        auto connection = OpenStation(path);
        TXTransaction transaction(connection.get());
        for (const StationTable& table : StationTables()) {
            Execute(connection.get(), CreateTableSQL(table));
            for (const QString& sql : CreateIndexSQL(table))
                Execute(connection.get(), sql);
        }
        InsertConfiguracao(connection.get(), options);
        transaction.Commit();
    } catch (...) {
        // A half-built file would fail the client's verification; leave nothing behind.
        RemoveStationFile(path);
        throw;
    }
}

QString NewStationAlertSound()
{
    const QString sound = ShippedAlertSound();
    const StationColumn* column =
        FindStationTable(QStringLiteral("Configuracao"))->FindColumn(QStringLiteral("ALERT_SOUND"));
    // A cut path would name no file; better no sound than a failed create.
    return sound.size() <= column->Size ? sound : QString();
}

StationConfig ReadStationConfig(TXConnection* connection)
{
    auto query = NewQuery(connection);
    query->SetSQL(kSelectConfigSQL);
    query->Open();
    if (query->Eof())
        throw XException(QStringLiteral("O banco de dados não tem a linha de configuração."));
    StationConfig config;
    config.Maquina = query->FieldByName(QStringLiteral("maquina")).AsString();
    config.RelaInicial = query->FieldByName(QStringLiteral("rela_inicial")).AsFloat();
    config.RelaFinal = query->FieldByName(QStringLiteral("rela_final")).AsFloat();
    config.DescricaoLote = query->FieldByName(QStringLiteral("descricao_lote")).AsString();
    config.Operation = query->FieldByName(QStringLiteral("info_db")).AsInteger() == 1
                           ? StationOperation::Coleta
                           : StationOperation::Plantio;
    config.CbNcc = StoredBarcodeType(query->FieldByName(QStringLiteral("cb_ncc")).AsInteger());
    config.CbNcPlantio =
        StoredBarcodeType(query->FieldByName(QStringLiteral("cb_nc_plantio")).AsInteger());
    return config;
}

QString StationComputerName()
{
    try {
        return LocalComputerName().trimmed().toUpper();
    } catch (const XException&) {
        return {};
    }
}

QString LoginText(const QString& text)
{
    return text.trimmed().toUpper();
}

QString ScramblePassword(const QString& plainUpperCase)
{
    const XException tooLong(QStringLiteral(
        "A senha não cabe na coluna SENHA depois de embaralhada; use uma senha mais curta"
        " (até 7 caracteres sempre cabem)."));
    if (plainUpperCase.size() > kMaxPasswordLength)
        throw tooLong;
    // The client stores a character outside the code page as "?", so two passwords would match.
    for (const char32_t codePoint : plainUpperCase.toUcs4()) {
        const QString c = QString::fromUcs4(&codePoint, 1);
        if (!IsWindows1252Text(c)) {
            throw XException(QStringLiteral("A senha contém o caractere \"%1\", que não pode ser"
                                            " gravado; use letras, algarismos e símbolos comuns.")
                                 .arg(c));
        }
    }
    // The scrambled length varies with its random salt; draw until one fits the column.
    for (int attempt = 0; attempt < 200; ++attempt) {
        const QString scrambled = ScrambleText(plainUpperCase, QString(kUserPasswordKey));
        if (UnscrambleText(scrambled, QString(kUserPasswordKey)) != plainUpperCase) {
            throw XException(
                QStringLiteral("A senha contém caracteres que não podem ser gravados."));
        }
        if (scrambled.size() <= kSenhaSize)
            return scrambled;
    }
    throw tooLong;
}

int AddUser(TXConnection* connection, const QString& codigo, const QString& nome,
            const QString& senha)
{
    const QString code = LoginText(codigo);
    const QString name = nome.trimmed();
    const QString password = LoginText(senha);
    if (code.isEmpty())
        throw XException(QStringLiteral("O código do usuário deve ser informado."));
    if (code.size() > 15)
        throw XException(QStringLiteral("O código do usuário deve ter no máximo 15 caracteres."));
    if (name.isEmpty())
        throw XException(QStringLiteral("O nome do usuário deve ser informado."));
    if (name.size() > 60)
        throw XException(QStringLiteral("O nome do usuário deve ter no máximo 60 caracteres."));
    if (password.isEmpty())
        throw XException(QStringLiteral("A senha deve ser informada."));

    auto query = NewQuery(connection);
    query->SetSQL(kSelectUserSQL);
    query->ParamByName(QStringLiteral("codigo")).SetString(code);
    query->Open();
    if (!query->Eof())
        throw XException(QStringLiteral("O usuário %1 já está cadastrado.").arg(code));
    query->SetSQL(QStringLiteral("SELECT max(id_user) AS ultimo FROM Usua"));
    query->Open();
    const int id = query->FieldByName(QStringLiteral("ultimo")).AsInteger() + 1;
    query->Close();

    auto command = NewCommand(connection);
    command->SetCommandText(kInsertUserSQL);
    command->ParamByName(QStringLiteral("id_user")).SetInteger(id);
    command->ParamByName(QStringLiteral("nome")).SetString(name);
    command->ParamByName(QStringLiteral("codigo")).SetString(code);
    command->ParamByName(QStringLiteral("senha")).SetString(ScramblePassword(password));
    command->Execute();
    return id;
}

bool CheckUser(TXConnection* connection, const QString& codigo, const QString& senha)
{
    const QString code = LoginText(codigo);
    const QString password = LoginText(senha);
    if (code.isEmpty() || password.isEmpty())
        return false;
    auto query = NewQuery(connection);
    query->SetSQL(kSelectUserSQL);
    query->ParamByName(QStringLiteral("codigo")).SetString(code);
    query->Open();
    if (query->Eof())
        return false;
    return UnscrambleText(query->FieldByName(QStringLiteral("senha")).AsString(),
                          QString(kUserPasswordKey)) == password;
}

void InsertLote(TXConnection* connection, int idSlote, const QString& nome, int qteTratamento)
{
    auto command = NewCommand(connection);
    command->SetCommandText(QStringLiteral("INSERT INTO Lote (ID_SLOTE, NOME, QTE_TRATAMENTO)"
                                           " VALUES (:id_slote, :nome, :qte_tratamento)"));
    command->ParamByName(QStringLiteral("id_slote")).SetInteger(idSlote);
    command->ParamByName(QStringLiteral("nome")).SetString(nome);
    command->ParamByName(QStringLiteral("qte_tratamento")).SetInteger(qteTratamento);
    command->Execute();
}

void InsertPlanta(TXConnection* connection, qint64 ncc, qint64 nc, int rep)
{
    auto command = NewCommand(connection);
    command->SetCommandText(
        QStringLiteral("INSERT INTO Planta (NCC, NC, REP) VALUES (:ncc, :nc, :rep)"));
    command->ParamByName(QStringLiteral("ncc")).SetLargeInt(ncc);
    command->ParamByName(QStringLiteral("nc")).SetLargeInt(nc);
    command->ParamByName(QStringLiteral("rep")).SetInteger(rep);
    command->Execute();
}

void InsertPlantio(TXConnection* connection, const PlantioRow& row)
{
    auto command = NewCommand(connection);
    command->SetCommandText(QStringLiteral(
        "INSERT INTO Plantio (ID_SLOTE, NC_PLANTIO, NCC, ID_USER, DATA_PLANTIO, ORIGEM_PLANTIO)"
        " VALUES (:id_slote, :nc_plantio, :ncc, :id_user, :data_plantio, :origem_plantio)"));
    command->ParamByName(QStringLiteral("id_slote")).SetInteger(row.IdSlote);
    command->ParamByName(QStringLiteral("nc_plantio")).SetLargeInt(row.NcPlantio);
    command->ParamByName(QStringLiteral("ncc")).SetLargeInt(row.Ncc);
    command->ParamByName(QStringLiteral("id_user")).SetInteger(row.IdUser);
    command->ParamByName(QStringLiteral("data_plantio")).SetString(row.DataPlantio);
    if (row.Origem.isEmpty())
        command->ParamByName(QStringLiteral("origem_plantio")).SetNull(TXParamType::String);
    else
        command->ParamByName(QStringLiteral("origem_plantio")).SetString(row.Origem);
    command->Execute();
}

QString WellName(int linha, int coluna)
{
    return QChar(char16_t(64 + linha)) + QString::number(coluna);
}

void InsertPlaca(TXConnection* connection, int idPlaca, int placa, const QString& codigo,
                 int linhas, int colunas, int controlWells)
{
    // Rows are labelled by one letter and a well name must fit POCO (5 characters).
    if (linhas < 1 || linhas > 26 || colunas < 1 || colunas > 999)
        throw XException(
            QStringLiteral("Tamanho de placa inválido: %1 x %2.").arg(linhas).arg(colunas));
    const int wells = linhas * colunas;
    if (controlWells < 0 || controlWells >= wells)
        throw XException(
            QStringLiteral("Número de poços de controle inválido: %1.").arg(controlWells));

    auto command = NewCommand(connection);
    command->SetCommandText(kInsertPlacaSQL);
    command->ParamByName(QStringLiteral("id_placa")).SetInteger(idPlaca);
    command->ParamByName(QStringLiteral("placa")).SetInteger(placa);
    command->ParamByName(QStringLiteral("codigo")).SetString(codigo);
    command->ParamByName(QStringLiteral("tlinha")).SetInteger(linhas);
    command->ParamByName(QStringLiteral("tcoluna")).SetInteger(colunas);
    command->Execute();

    command->SetCommandText(kInsertPocoSQL);
    for (int seq = 1; seq <= wells; ++seq) {
        // Collection runs down each column: A1, B1, ..., then A2.
        const int linha = (seq - 1) % linhas + 1;
        const int coluna = (seq - 1) / linhas + 1;
        const bool control = seq > wells - controlWells;
        command->ParamByName(QStringLiteral("id_placa")).SetInteger(idPlaca);
        command->ParamByName(QStringLiteral("placa")).SetInteger(placa);
        command->ParamByName(QStringLiteral("poco")).SetString(WellName(linha, coluna));
        command->ParamByName(QStringLiteral("linha")).SetInteger(linha);
        command->ParamByName(QStringLiteral("coluna")).SetInteger(coluna);
        command->ParamByName(QStringLiteral("seq_coleta")).SetInteger(seq);
        command->ParamByName(QStringLiteral("amostra"))
            .SetString(control ? QStringLiteral("C") : QStringLiteral("T"));
        command->Execute();
    }
}

void CollectWell(TXConnection* connection, int idPlaca, int seqColeta, qint64 ncPlantio, int idUser,
                 const QString& dataColeta, const QString& origem)
{
    auto command = NewCommand(connection);
    command->SetCommandText(kCollectWellSQL);
    command->ParamByName(QStringLiteral("nc_plantio")).SetLargeInt(ncPlantio);
    command->ParamByName(QStringLiteral("user_coleta")).SetInteger(idUser);
    command->ParamByName(QStringLiteral("data_coleta")).SetString(dataColeta);
    if (origem.isEmpty())
        command->ParamByName(QStringLiteral("origem_coleta")).SetNull(TXParamType::String);
    else
        command->ParamByName(QStringLiteral("origem_coleta")).SetString(origem);
    command->ParamByName(QStringLiteral("id_placa")).SetInteger(idPlaca);
    command->ParamByName(QStringLiteral("seq_coleta")).SetInteger(seqColeta);
    if (command->Execute() != 1) {
        throw XException(QStringLiteral("Placa %1 não tem poço livre de amostra na posição %2.")
                             .arg(idPlaca)
                             .arg(seqColeta));
    }
}

int CountRows(TXConnection* connection, const QString& table)
{
    const StationTable* known = FindStationTable(table);
    if (!known)
        throw XException(QStringLiteral("Tabela desconhecida: %1.").arg(table));
    auto query = NewQuery(connection);
    query->SetSQL(QStringLiteral("SELECT count(*) AS total FROM ") + known->Name);
    query->Open();
    return query->FieldByName(QStringLiteral("total")).AsInteger();
}
