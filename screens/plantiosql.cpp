#include "plantiosql.h"

#include "codevalidation.h"
#include "data/txquery.h"
#include "data/txrowstore.h"
#include "xformat.h"

int LoteFaltando::Remaining(TXConnection* connection, int loteId)
{
    // Taken before counting: a commit while counting then makes the next call count again.
    const TXChangeStamp stamp = connection->ChangeStamp();
    if (m_connection == connection && m_loteId == loteId && m_stamp == stamp)
        return m_remaining;
    m_connection = nullptr;
    std::unique_ptr<TXQuery> query = NewQuery(connection);
    query->SetSQL(kLoteFaltandoSQL);
    query->ParamByName(QStringLiteral("slote")).SetInteger(loteId);
    query->Open();
    int remaining = 0;
    if (query->RecordCount() > 0) {
        remaining = query->FieldByName(QStringLiteral("qte_tratamento")).AsInteger();
        // The outer join counts one row for a sub-batch without plantings.
        if (query->FieldByName(QStringLiteral("slote_plantio")).AsInteger() != 0)
            remaining -= query->FieldByName(QStringLiteral("qte_plantado")).AsInteger();
    }
    m_connection = connection;
    m_loteId = loteId;
    m_stamp = stamp;
    m_remaining = remaining;
    return remaining;
}

void LoteFaltando::Planted(TXConnection* connection, int loteId)
{
    if (m_connection != connection || m_loteId != loteId)
        return;
    // Other connections' commits are seen by the next Remaining, which compares the whole stamp.
    if (connection->OwnChanges() == m_stamp.OwnChanges + 1) {
        ++m_stamp.OwnChanges;
        --m_remaining;
    } else {
        m_connection = nullptr;
    }
}

QString QuotedSQLText(const QString& text)
{
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

QString LoteItemText(int id, const QString& nome)
{
    return FormatFloat(QStringLiteral("00"), id) + QStringLiteral(" - ") + nome;
}

int LoteIdFromItem(const QString& item)
{
    const qsizetype dash = item.indexOf(QLatin1Char('-'));
    bool ok = false;
    const int id = (dash < 0 ? item : item.left(dash)).trimmed().toInt(&ok);
    return ok ? id : -1;
}

QString PlantioGridSQL(int loteId, const QString& filter)
{
    QString sql = kPlantioGridSelectSQL + QStringLiteral(" WHERE (pl.id_slote = ") +
                  QString::number(loteId) + QStringLiteral(" ) ");
    if (!filter.isEmpty())
        sql += QStringLiteral(" AND (") + filter + QStringLiteral(") ");
    return sql + QStringLiteral(" ORDER BY pl.data_plantio desc ");
}

QString PlantioCopyExcSQL(const PlantioKey& row, int authorizerId, const QString& now)
{
    return QStringLiteral(
               "INSERT INTO Plantio_Exc (id_slote, nc_plantio, ncc, id_user, data_plantio, "
               "origem_plantio,   user_plantio_exc, data_plantio_exc)  SELECT id_slote, "
               "nc_plantio, ncc, id_user, data_plantio, origem_plantio,         ") +
           QString::number(authorizerId) + QStringLiteral(", ") + QuotedSQLText(now) +
           QStringLiteral("   FROM Plantio") + QStringLiteral("  WHERE (id_slote = ") +
           QString::number(row.IdSlote) + QStringLiteral(")") +
           QStringLiteral("    AND (nc_plantio = ") + FormatGeneralFloat(row.NcPlantio) +
           QStringLiteral(")") + QStringLiteral("    AND (ncc = ") + FormatGeneralFloat(row.Ncc) +
           QStringLiteral(")") + QStringLiteral("    AND (data_plantio = ") +
           QuotedSQLText(row.DataPlantio) + QStringLiteral(")") +
           // A row transmitted since the grid was read must be neither archived nor removed.
           QStringLiteral("    AND (origem_plantio is null)");
}

QString MachineText(const QString& origem, const QString& maquina)
{
    if (!origem.isEmpty() && origem != maquina)
        return origem;
    return QStringLiteral(" Nesse computador.");
}

QString PlantioDeleteQuestion(double ncc, double nc, double rep, double ncPlantio)
{
    const QString digits = QStringLiteral("###########0");
    return QStringLiteral("Confirma a exclusão da seguinte informação? \r\n NCC: ") +
           FormatFloat(digits, ncc) + QStringLiteral("\r\n") + QStringLiteral(" NC: ") +
           FormatFloat(digits, nc) + QStringLiteral("\r\n") + QStringLiteral(" Rep: ") +
           FormatFloat(QStringLiteral("##0"), rep) + QStringLiteral("\r\n") +
           QStringLiteral(" NC_Plantio: ") + FormatFloat(digits, ncPlantio);
}

bool AddFiltro(const QString& code, const QString& column, const QString& codeType, QString& filter,
               QString& rejection)
{
    const QString trimmed = code.trimmed();
    if (trimmed.isEmpty())
        return true;
    qint64 number = 0;
    if (!ValidateBarcode(trimmed, codeType, rejection))
        return false;
    if (!CodeNumber(trimmed, number)) {
        rejection = kCodeNotNumeric;
        return false;
    }
    if (!filter.isEmpty())
        filter += QStringLiteral(" AND ");
    filter += QStringLiteral(" (pl.") + column + QStringLiteral(" = ") + QString::number(number) +
              QStringLiteral(") ");
    return true;
}

QString BuildFiltro(const QString& ncpText, const QString& ncpType, const QString& nccText,
                    const QString& nccType, QString& rejection)
{
    QString filter;
    rejection.clear();
    if (AddFiltro(ncpText, QStringLiteral("NC_PLANTIO"), ncpType, filter, rejection))
        AddFiltro(nccText, QStringLiteral("NCC"), nccType, filter, rejection);
    return filter;
}
