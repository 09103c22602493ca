#include "tfcons_plantioresumo.h"

namespace {

// The main statement around the condition text of the choice.
const char* const kSelect =
    "SELECT base.nome as sub_lote, base.qte_tratamento as tot_a_plantar, base.tot_plantado,       "
    "trans.tot_transmitido,        atrans.tot_transmitir, atrans.data_inicial, atrans.data_final   "
    "FROM (("
    "SELECT l.ID_SLOTE, l.NOME, l.QTE_TRATAMENTO, Count(1) AS TOT_PLANTADO   FROM Lote l INNER "
    "JOIN Plantio p ON l.ID_SLOTE = p.ID_SLOTE  GROUP BY l.ID_SLOTE, l.NOME, l.QTE_TRATAMENTO "
    ") base LEFT OUTER JOIN ("
    "SELECT p.ID_SLOTE, Count(1) AS TOT_TRANSMITIDO   FROM Plantio p  WHERE (((p.ORIGEM_PLANTIO) "
    "Is Not Null))  GROUP BY p.ID_SLOTE "
    ") trans "
    "                ON base.ID_slote = trans.ID_slote) "
    "             LEFT OUTER JOIN ("
    "SELECT p.ID_SLOTE, Count(1) AS TOT_TRANSMITIR,        Min(p.DATA_PLANTIO) AS DATA_Inicial, "
    "Max(p.DATA_PLANTIO) AS Data_Final   FROM Plantio p  WHERE (((p.ORIGEM_PLANTIO) Is Null))  "
    "GROUP BY p.ID_SLOTE "
    ") atrans "
    "                ON base.ID_slote = atrans.ID_slote ";
const char* const kOrder = " ORDER BY base.id_slote ";
const char* const kCondition = " WHERE (atrans.tot_transmitir IS NOT NULL) ";

} // namespace

TReportDefinition TFCons_PlantioResumo::Definition()
{
    TReportDefinition definition;
    definition.Caption = QStringLiteral("Plantio Resumo");
    definition.FilterCaption = QStringLiteral(" Resumo Plantio ");
    definition.FilterItems = {QStringLiteral("Todos Sub Lotes"),
                              QStringLiteral("Somente Sub Lotes com plantio a Transmitir")};
    definition.FilterColumns = 2;
    definition.Select = QString::fromUtf8(kSelect);
    definition.Order = QString::fromUtf8(kOrder);
    definition.Condition = QString::fromUtf8(kCondition);
    definition.Columns = {
        {QStringLiteral("sub_lote"), QStringLiteral("Sub Lote"), 150, Qt::AlignLeft},
        {QStringLiteral("tot_a_plantar"), QStringLiteral("Tot. a Plantar"), 100, Qt::AlignRight},
        {QStringLiteral("tot_plantado"), QStringLiteral("Tot. Plantado"), 100, Qt::AlignRight},
        {QStringLiteral("tot_transmitido"), QStringLiteral("Tot. Transmitido"), 100,
         Qt::AlignRight},
        {QStringLiteral("tot_transmitir"), QStringLiteral("Tot. a Transmitir"), 100,
         Qt::AlignRight},
        {QStringLiteral("Data_inicial"), QStringLiteral("Plantio Inicial a Trans."), 150,
         Qt::AlignLeft},
        {QStringLiteral("Data_final"), QStringLiteral("Plantio Final a Trans."), 150,
         Qt::AlignLeft}};
    return definition;
}

TFCons_PlantioResumo::TFCons_PlantioResumo(QWidget* parent) : TFCons_Base(Definition(), parent) {}
