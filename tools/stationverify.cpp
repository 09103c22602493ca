#include "stationverify.h"

#include "stationbuilder.h"

#include "appschema.h"
#include "data/txconnection.h"
#include "data/txquery.h"
#include "tdb_struct.h"
#include "xexception.h"
#include "xmessages.h"

namespace {

const QString kSelectMaquinaSQL = QStringLiteral("SELECT maquina   FROM Configuracao");

/** Collects the boxes the verification shows instead of showing them. */
class RecordingPresenter : public TXMessagePresenter
{
public:
    RecordingPresenter() : m_previous(SetMessagePresenter(this)) {}
    ~RecordingPresenter() override { SetMessagePresenter(m_previous); }

    TXMessageButton Present(const TXMessageRequest& request) override
    {
        Texts << request.Text;
        return request.YesNo ? TXMessageButton::No : TXMessageButton::Ok;
    }

    QStringList Texts;

private:
    TXMessagePresenter* m_previous;
};

// The client's machine check, read-only: an unbound file passes without being bound.
bool CheckMachine(TXConnection* connection, StationVerification& result)
{
    auto query = NewQuery(connection);
    query->SetSQL(kSelectMaquinaSQL);
    query->Open();
    result.Maquina = query->Eof() ? QString() : query->Fields(0).AsString();
    result.Computer = LocalComputerName().trimmed().toUpper();
    if (result.Maquina.isEmpty() || result.Maquina == result.Computer)
        return true;
    result.Messages << QStringLiteral("O Banco de dados já foi utilizado no computador [%1].")
                           .arg(result.Maquina);
    return false;
}

bool RunChecks(TXConnection* connection, TDB_Struct& actual, StationVerification& result,
               RecordingPresenter& boxes)
{
    TDB_Struct expected;
    DeclareSchema(&expected);
    actual.SetConnection(connection);
    if (!actual.LoadFromDatabase())
        return false;
    if (!CheckDatabaseVersion(actual, kDatabaseVersion)) {
        if (boxes.Texts.isEmpty())
            result.Messages << QStringLiteral(
                "Versão do banco de dados não informada (VERSION_MDB).");
        return false;
    }
    QStringList differences;
    if (!expected.CompareTo(actual, differences)) {
        result.Messages << differences;
        return false;
    }
    return CheckMachine(connection, result);
}

} // namespace

StationVerification VerifyStation(const QString& path)
{
    StationVerification result;
    RecordingPresenter boxes;
    try {
        auto connection = OpenStation(path);
        TDB_Struct actual;
        try {
            result.Passed = RunChecks(connection.get(), actual, result, boxes);
        } catch (...) {
            actual.ClearConnection();
            throw;
        }
        // The structure would close a connection it does not own.
        actual.ClearConnection();
    } catch (const XException& error) {
        result.Passed = false;
        result.Messages << error.Message();
    }
    result.Messages = boxes.Texts + result.Messages;
    return result;
}
