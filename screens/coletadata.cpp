#include "coletadata.h"

#include "data/txconnection.h"
#include "data/txquery.h"
#include "data/txtransaction.h"
#include "tplaca.h"
#include "xexception.h"

QString QuotedStr(const QString& text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString GridSQL(int idPlaca)
{
    return QStringLiteral("SELECT pc.id_placa, pc.placa, pc.poco, pc.nc_plantio, pc.data_coleta, "
                          "pc.seq_coleta    FROM Placa_Poco pc INNER JOIN Placa p     ON ( "
                          "pc.id_placa = p.id_placa ) ") +
           QStringLiteral("  WHERE ( pc.id_placa = ") + QString::number(idPlaca) +
           QStringLiteral(" )") + QStringLiteral("    AND (pc.nc_plantio is not null)") +
           QStringLiteral(" ORDER BY pc.data_coleta desc ");
}

QString CopyRegExcSQL(int deleteAuthorizerId, const QString& now, int idPlaca, TExclusaoKind kind,
                      const QString& poco)
{
    QString sql =
        QStringLiteral("INSERT INTO Placa_Poco_Exc (id_placa, placa, poco, linha, coluna, "
                       "seq_coleta, amostra,   status_poco, nc_plantio, user_coleta, data_coleta, "
                       "origem_coleta,   user_coleta_exc, data_coleta_exc)  SELECT id_placa, "
                       "placa, poco, linha, coluna, seq_coleta, amostra,         status_poco, "
                       "nc_plantio, user_coleta, data_coleta, origem_coleta,         ") +
        QString::number(deleteAuthorizerId) + QStringLiteral(", ") + QuotedStr(now) +
        QStringLiteral("   FROM ") + QStringLiteral("Placa_Poco") +
        QStringLiteral("  WHERE (id_placa = ") + QString::number(idPlaca) + QStringLiteral(")") +
        QStringLiteral("    AND (nc_plantio IS NOT NULL) ");
    if (kind == TExclusaoKind::Poco)
        sql += QStringLiteral(" AND (poco = ") + QuotedStr(poco) + QStringLiteral(")");
    // A transmitted well is never archived as deleted: the reset leaves it alone too.
    return sql + kDeletableFilter;
}

QString GetMaquinaColeta(TXQuery& rows, const QString& maquina)
{
    QString machine = maquina;
    for (rows.First(); !rows.Eof(); rows.Next()) {
        const QString origem = rows.FieldByName(QStringLiteral("origem_coleta")).AsString();
        if (!origem.isEmpty() && origem != maquina)
            machine = origem;
    }
    return machine;
}

void ReadPlacaPocos(TXConnection* connection, TPlaca& placa)
{
    auto query = NewQuery(connection);
    query->SetSQL(kLoadPlacaPocoSQL);
    query->ParamByName(QStringLiteral("id_placa")).SetInteger(placa.IdPlaca);
    query->Open();
    placa.ClearPocos();
    for (; !query->Eof(); query->Next()) {
        auto poco = std::make_unique<TPoco>();
        poco->Poco = query->FieldByName(QStringLiteral("poco")).AsString();
        poco->Linha = query->FieldByName(QStringLiteral("linha")).AsInteger();
        poco->Coluna = query->FieldByName(QStringLiteral("coluna")).AsInteger();
        poco->Seq = query->FieldByName(QStringLiteral("seq")).AsInteger();
        poco->Amostra = query->FieldByName(QStringLiteral("amostra")).AsString();
        poco->OrigemColeta = query->FieldByName(QStringLiteral("origem_coleta")).AsString();
        poco->NcPlantio = qint64(query->FieldByName(QStringLiteral("nc_plantio")).AsFloat());
        poco->Coletado = poco->NcPlantio == 0 ? 0 : 1;
        placa.AddPoco(std::move(poco));
    }
}

namespace {

bool AnyTransmitted(TXConnection* connection, int idPlaca, TExclusaoKind kind, const QString& poco)
{
    const bool oneWell = kind == TExclusaoKind::Poco;
    auto query = NewQuery(connection);
    query->SetSQL(oneWell ? kTransmittedSQL + kPocoFilter : kTransmittedSQL);
    query->ParamByName(QStringLiteral("id_placa")).SetInteger(idPlaca);
    if (oneWell)
        query->ParamByName(QStringLiteral("poco")).SetString(poco);
    query->Open();
    return query->RecordCount() > 0;
}

} // namespace

TExclusaoOutcome ExcluirColeta(TXConnection* connection, TXCommand& reset, int idPlaca,
                               TExclusaoKind kind, const QString& poco, int deleteAuthorizerId,
                               const QString& now)
{
    const bool oneWell = kind == TExclusaoKind::Poco;
    TExclusaoOutcome outcome;
    std::unique_ptr<TXTransaction> transaction;
    try {
        transaction = std::make_unique<TXTransaction>(connection);
        // Checked again under the write lock: a transmission since the plate was read wins.
        if (AnyTransmitted(connection, idPlaca, kind, poco)) {
            outcome.Result =
                oneWell ? TExclusaoResult::PocoTransmitido : TExclusaoResult::PlacaTransmitida;
            return outcome;
        }
        auto copy = NewCommand(connection);
        copy->SetCommandText(CopyRegExcSQL(deleteAuthorizerId, now, idPlaca, kind, poco));
        outcome.Copied = copy->Execute();
    } catch (const XException& e) {
        outcome.Result = TExclusaoResult::CopyFailed;
        outcome.Error = e.Message();
        return outcome;
    }
    try {
        reset.SetConnection(connection);
        reset.SetCommandText(kResetPocoSQL + (oneWell ? kPocoFilter : QString()) +
                             kDeletableFilter);
        reset.ParamByName(QStringLiteral("id_placa")).SetInteger(idPlaca);
        if (oneWell)
            reset.ParamByName(QStringLiteral("poco")).SetString(poco);
        outcome.Freed = reset.Execute();
        transaction->Commit();
    } catch (const XException& e) {
        outcome.Result = TExclusaoResult::ResetFailed;
        outcome.Error = e.Message();
        outcome.Copied = 0;
        outcome.Freed = 0;
    }
    return outcome;
}
