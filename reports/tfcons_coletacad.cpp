#include "tfcons_coletacad.h"

namespace {

// The main statement around the condition text of the choice.
const char* const kSelect =
    "SELECT p.codigo as Placa, pp.seq_coleta, pp.poco, pp.nc_plantio, pt.ncc, pp.data_coleta,      "
    "  u.CODIGO as codigo_usuario, u.NOME as nome_usuario,         IIF(pp.origem_coleta is null, "
    "\"A Transmitir\", \"Transmitido\") as status   FROM ((Placa_Poco pp INNER JOIN Placa p        "
    "         ON pp.ID_PLACA = p.ID_PLACA)              INNER JOIN Usua u                  ON "
    "pp.USER_COLETA = u.ID_USER)              INNER JOIN Plantio pt                 ON "
    "pp.NC_PLANTIO = pt.NC_PLANTIO ";
const char* const kOrder = " ORDER BY p.CODIGO, pp.SEQ_COLETA ";
const char* const kCondition = " WHERE (pp.origem_coleta IS NULL) ";
const char* const kDeletedSelect =
    "SELECT p.CODIGO AS Placa, ppe.SEQ_COLETA, ppe.POCO, ppe.NC_PLANTIO, pt.NCC,        "
    "ppe.DATA_COLETA, ppe.ORIGEM_COLETA, uc.CODIGO AS Usuario_Cad, uc.NOME AS Pessoa_Cad,         "
    "ud.CODIGO as usuario_exc, ud.NOME as Pessoa_Exc, ppe.data_coleta_exc as data_exc   FROM "
    "(((Placa_Poco_Exc AS ppe INNER JOIN Placa AS p                                    ON "
    "ppe.ID_PLACA = p.ID_PLACA)                               INNER JOIN Usua AS uc                "
    "                  ON ppe.USER_COLETA = uc.ID_USER)                               INNER JOIN "
    "Plantio AS pt                                  ON ppe.NC_PLANTIO = pt.NC_PLANTIO)             "
    "                  INNER JOIN Usua ud                                  ON ppe.USER_COLETA_EXC "
    "= ud.ID_USER  ORDER BY p.CODIGO, ppe.SEQ_COLETA ";

} // namespace

TReportDefinition TFCons_ColetaCad::Definition()
{
    TReportDefinition definition;
    definition.Caption = QStringLiteral("Coleta Cadastrado");
    definition.FilterCaption = QStringLiteral(" Placa x Poço ");
    definition.FilterItems = {QStringLiteral("Todos Poços Coletados"),
                              QStringLiteral("Somente Poços A Transmitir"),
                              QStringLiteral("Poços Excluídos")};
    definition.FilterColumns = 3;
    definition.Select = QString::fromUtf8(kSelect);
    definition.Order = QString::fromUtf8(kOrder);
    definition.Condition = QString::fromUtf8(kCondition);
    // Both lists start with the well and who collected it.
    const QList<TXGridColumn> well = {
        {QStringLiteral("placa"), QStringLiteral("Placa"), 150, Qt::AlignLeft},
        {QStringLiteral("seq_coleta"), QStringLiteral("Seq."), 40, Qt::AlignRight},
        {QStringLiteral("poco"), QStringLiteral("Poço"), 50, Qt::AlignLeft},
        {QStringLiteral("nc_plantio"), QStringLiteral("NC_Plantio"), 100, Qt::AlignRight},
        {QStringLiteral("ncc"), QStringLiteral("NCC"), 100, Qt::AlignRight},
        {QStringLiteral("data_coleta"), QStringLiteral("Data_Coleta"), 150, Qt::AlignLeft}};
    definition.Columns =
        well +
        QList<TXGridColumn>{
            {QStringLiteral("codigo_usuario"), QStringLiteral("Usuário"), 100, Qt::AlignLeft},
            {QStringLiteral("nome_usuario"), QStringLiteral("Nome"), 150, Qt::AlignLeft},
            {QStringLiteral("status"), QStringLiteral("Status"), 100, Qt::AlignLeft}};
    definition.DeletedSelect = QString::fromUtf8(kDeletedSelect);
    definition.DeletedColumns =
        well +
        QList<TXGridColumn>{
            {QStringLiteral("usuario_cad"), QStringLiteral("Usuário Cad."), 100, Qt::AlignLeft},
            {QStringLiteral("pessoa_cad"), QStringLiteral("Pessoa Cad."), 150, Qt::AlignLeft},
            {QStringLiteral("usuario_exc"), QStringLiteral("Usuário Exc."), 100, Qt::AlignLeft},
            {QStringLiteral("pessoa_exc"), QStringLiteral("Pessoa Exc."), 150, Qt::AlignLeft},
            {QStringLiteral("data_exc"), QStringLiteral("Data Exc."), 150, Qt::AlignLeft}};
    return definition;
}

TFCons_ColetaCad::TFCons_ColetaCad(QWidget* parent) : TFCons_Base(Definition(), parent) {}
