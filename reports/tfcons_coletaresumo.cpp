#include "tfcons_coletaresumo.h"

namespace {

// The main statement around the condition text of the choice.
const char* const kSelect =
    "SELECT pl.PLACA, pl.poco_coletado, pt.poco_transmitido, pat.poco_a_transmitir,        "
    "pat.coleta_inicial, pat.coleta_final   FROM (("
    "SELECT pl.ID_PLACA, pl.CODIGO AS PLACA, Count(1) AS POCO_COLETADO   FROM Placa_Poco AS pp "
    "INNER JOIN Placa AS pl ON pp.ID_PLACA = pl.ID_PLACA  WHERE  (((pp.NC_PLANTIO) Is Not Null))  "
    "GROUP BY pl.ID_PLACA, pl.CODIGO "
    ") pl LEFT OUTER JOIN ("
    "SELECT pp.ID_PLACA, Count(1) AS POCO_TRANSMITIDO   FROM Placa_Poco AS pp  WHERE "
    "(((pp.ORIGEM_COLETA) Is Not Null) AND ((pp.NC_PLANTIO) Is Not Null))  GROUP BY pp.ID_PLACA"
    ") pt "
    "                ON pl.ID_PLACA = pt.ID_PLACA) "
    "             LEFT OUTER JOIN ("
    "SELECT pp.ID_PLACA, Count(1) AS POCO_A_TRANSMITIR,        Min(pp.DATA_COLETA) AS "
    "COLETA_INICIAL, Max(pp.DATA_COLETA) AS COLETA_FINAL   FROM Placa_Poco AS pp  WHERE "
    "(((pp.ORIGEM_COLETA) Is Null) AND ((pp.NC_PLANTIO) Is Not Null))  GROUP BY pp.ID_PLACA "
    ") pat "
    "                ON pl.ID_PLACA = pat.ID_PLACA ";
const char* const kOrder = " ORDER BY PL.PLACA ";
const char* const kCondition = " WHERE (pat.poco_a_transmitir IS NOT NULL) ";

} // namespace

TReportDefinition TFCons_ColetaResumo::Definition()
{
    TReportDefinition definition;
    definition.Caption = QStringLiteral("Coleta Resumo");
    definition.FilterCaption = QStringLiteral(" Resumo Placa x Poço ");
    definition.FilterItems = {QStringLiteral("Todas Placas x Poço Coletadas"),
                              QStringLiteral("Somente Placas com Poço A Transmitir")};
    definition.FilterColumns = 2;
    definition.Select = QString::fromUtf8(kSelect);
    definition.Order = QString::fromUtf8(kOrder);
    definition.Condition = QString::fromUtf8(kCondition);
    definition.Columns = {
        {QStringLiteral("placa"), QStringLiteral("Placa"), 150, Qt::AlignLeft},
        {QStringLiteral("poco_coletado"), QStringLiteral("Poço Coletado"), 100, Qt::AlignRight},
        {QStringLiteral("poco_transmitido"), QStringLiteral("Poço Transmitido"), 100,
         Qt::AlignRight},
        {QStringLiteral("poco_a_transmitir"), QStringLiteral("Poço a Transmitir"), 100,
         Qt::AlignRight},
        {QStringLiteral("coleta_inicial"), QStringLiteral("Coleta Inicial a Trans."), 150,
         Qt::AlignLeft},
        {QStringLiteral("coleta_final"), QStringLiteral("Coleta Final a Trans."), 150,
         Qt::AlignLeft}};
    return definition;
}

TFCons_ColetaResumo::TFCons_ColetaResumo(QWidget* parent) : TFCons_Base(Definition(), parent) {}
