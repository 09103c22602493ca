#include "tfcons_plantiocad.h"

namespace {

// The main statement around the condition text of the choice.
const char* const kSelect =
    "SELECT l.NOME AS SUB_LOTE, p.NC_PLANTIO, p.NCC, p.DATA_PLANTIO,        u.CODIGO AS "
    "codigo_USUARIO, u.NOME AS NOME_USUARIO,        IIF(p.origem_plantio is null, \"A "
    "Transmitir\", \"Transmitido\") as status   FROM (Plantio p INNER JOIN Usua u                  "
    "  ON p.ID_USER = u.ID_USER)                 INNER JOIN Lote l                    ON "
    "p.ID_SLOTE = l.ID_SLOTE ";
const char* const kOrder = " ORDER BY l.nome, p.ncc ";
const char* const kCondition = " WHERE (p.origem_plantio IS NULL) ";
const char* const kDeletedSelect =
    "SELECT l.NOME AS SUB_LOTE, p.NC_PLANTIO, p.NCC, p.DATA_PLANTIO,        u.CODIGO AS "
    "codigo_USUARIO, u.NOME AS NOME_USUARIO,        ue.codigo as usua_exc, ue.nome as pessoa_exc, "
    "p.data_plantio_exc   FROM ((Plantio_Exc p INNER JOIN Usua u                    ON p.ID_USER = "
    "u.ID_USER)                 INNER JOIN Lote l                    ON p.ID_SLOTE = l.ID_SLOTE)   "
    "              INNER JOIN Usua ue                    ON p.USER_PLANTIO_EXC = UE.ID_USER  ORDER "
    "BY l.nome, p.ncc ";

} // namespace

TReportDefinition TFCons_PlantioCad::Definition()
{
    TReportDefinition definition;
    definition.Caption = QStringLiteral("Plantio Cadastrado");
    definition.FilterCaption = QStringLiteral(" Plantio ");
    definition.FilterItems = {QStringLiteral("Todo Plantio"),
                              QStringLiteral("Somente Plantio A Transmitir"),
                              QStringLiteral("Plantios Excluídos")};
    definition.FilterColumns = 3;
    definition.Select = QString::fromUtf8(kSelect);
    definition.Order = QString::fromUtf8(kOrder);
    definition.Condition = QString::fromUtf8(kCondition);
    // Both lists start with the planting and who made it.
    const QList<TXGridColumn> planting = {
        {QStringLiteral("sub_lote"), QStringLiteral("Sub Lote"), 150, Qt::AlignLeft},
        {QStringLiteral("ncc"), QStringLiteral("NCC"), 100, Qt::AlignRight},
        {QStringLiteral("nc_plantio"), QStringLiteral("NC_Plantio"), 100, Qt::AlignRight},
        {QStringLiteral("data_plantio"), QStringLiteral("Data_Plantio"), 150, Qt::AlignLeft},
        {QStringLiteral("codigo_usuario"), QStringLiteral("Usuário"), 100, Qt::AlignLeft},
        {QStringLiteral("nome_usuario"), QStringLiteral("Nome"), 150, Qt::AlignLeft}};
    definition.Columns =
        planting + QList<TXGridColumn>{
                       {QStringLiteral("status"), QStringLiteral("Status"), 100, Qt::AlignLeft}};
    definition.DeletedSelect = QString::fromUtf8(kDeletedSelect);
    definition.DeletedColumns =
        planting +
        QList<TXGridColumn>{
            {QStringLiteral("usua_exc"), QStringLiteral("Usuário Exc."), 100, Qt::AlignLeft},
            {QStringLiteral("pessoa_exc"), QStringLiteral("Pessoa Exc."), 150, Qt::AlignLeft},
            {QStringLiteral("data_plantio_Exc"), QStringLiteral("Data_Plantio_Exc"), 150,
             Qt::AlignLeft}};
    return definition;
}

TFCons_PlantioCad::TFCons_PlantioCad(QWidget* parent) : TFCons_Base(Definition(), parent) {}
