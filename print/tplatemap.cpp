#include "tplatemap.h"

#include "data/txquery.h"
#include "xean.h"

#include <algorithm>

namespace {

const QString kPlacaSQL =
    QStringLiteral("SELECT id_placa, codigo, tlinha, tcoluna FROM Placa WHERE (codigo = :codigo)");

// Every well, with who collected it; a well whose user row is gone still shows.
const QString kPocosSQL =
    QStringLiteral("SELECT pc.poco, pc.linha, pc.coluna, pc.seq_coleta, pc.amostra, pc.nc_plantio,"
                   "       pc.data_coleta, pc.origem_coleta, u.codigo AS usuario"
                   "  FROM Placa_Poco pc LEFT OUTER JOIN Usua u ON (pc.user_coleta = u.id_user)"
                   " WHERE (pc.id_placa = :id_placa)  ORDER BY pc.seq_coleta, pc.poco");

const QString kColetadasSQL = QStringLiteral(
    "SELECT DISTINCT p.codigo FROM Placa p INNER JOIN Placa_Poco pc ON (p.id_placa = pc.id_placa)"
    " WHERE (pc.nc_plantio Is Not Null) ORDER BY p.codigo");

} // namespace

TWellKind TPlateMapWell::Kind() const
{
    if (Amostra == QLatin1String("C"))
        return TWellKind::Control;
    return NcPlantio != 0 ? TWellKind::Sample : TWellKind::Empty;
}

const TPlateMapWell* TPlateMap::At(int coluna, int linha) const
{
    if (coluna > TColuna || linha > TLinha)
        return nullptr;
    for (const TPlateMapWell& well : Wells) {
        if (well.Coluna == coluna && well.Linha == linha)
            return &well;
    }
    return nullptr;
}

int TPlateMap::Controls() const
{
    return int(std::count_if(Wells.begin(), Wells.end(),
                             [](const auto& w) { return w.Kind() == TWellKind::Control; }));
}

int TPlateMap::Collected() const
{
    return int(std::count_if(Wells.begin(), Wells.end(),
                             [](const auto& w) { return w.Kind() == TWellKind::Sample; }));
}

int TPlateMap::Free() const
{
    return int(std::count_if(Wells.begin(), Wells.end(),
                             [](const auto& w) { return w.Kind() == TWellKind::Empty; }));
}

int TPlateMap::Transmitted() const
{
    return int(std::count_if(Wells.begin(), Wells.end(), [](const auto& w) {
        return w.Kind() == TWellKind::Sample && w.Transmitted();
    }));
}

QString TPlateMap::FirstCollection() const
{
    QString first;
    for (const TPlateMapWell& well : Wells) {
        if (well.Kind() == TWellKind::Sample && !well.DataColeta.isEmpty() &&
            (first.isEmpty() || well.DataColeta < first))
            first = well.DataColeta;
    }
    return first;
}

QString TPlateMap::LastCollection() const
{
    QString last;
    for (const TPlateMapWell& well : Wells) {
        if (well.Kind() == TWellKind::Sample && well.DataColeta > last)
            last = well.DataColeta;
    }
    return last;
}

QString SampleCode(qint64 ncPlantio, int barcodeType)
{
    const QString number = QString::number(ncPlantio);
    if (barcodeType != 0 && barcodeType != 1)
        return number;
    const int digits = barcodeType == 0 ? 7 : 12;
    if (ncPlantio < 0 || number.size() > digits)
        return number;
    const QString padded = number.rightJustified(digits, QLatin1Char('0'));
    return padded + QString::number(EanCheckDigit(padded));
}

QString UnknownPlateMessage(const QString& code)
{
    return QStringLiteral("A Placa de coleta [") + code + QStringLiteral("] não está cadastrado. ");
}

bool LoadPlateMap(TXConnection* connection, const QString& code, const TPlateMapSource& source,
                  TPlateMap& plate)
{
    plate = TPlateMap();
    auto placa = NewQuery(connection);
    placa->SetSQL(kPlacaSQL);
    placa->ParamByName(QStringLiteral("codigo")).SetString(code);
    placa->Open();
    if (placa->Eof())
        return false;
    TPlateMap read;
    read.IdPlaca = placa->FieldByName(QStringLiteral("id_placa")).AsInteger();
    read.Codigo = placa->FieldByName(QStringLiteral("codigo")).AsString();
    read.TLinha = placa->FieldByName(QStringLiteral("tlinha")).AsInteger();
    read.TColuna = placa->FieldByName(QStringLiteral("tcoluna")).AsInteger();
    read.Station = source.Station;

    auto pocos = NewQuery(connection);
    pocos->SetSQL(kPocosSQL);
    pocos->ParamByName(QStringLiteral("id_placa")).SetInteger(read.IdPlaca);
    pocos->Open();
    bool anySampleWell = false;
    for (; !pocos->Eof(); pocos->Next()) {
        TPlateMapWell well;
        well.Poco = pocos->FieldByName(QStringLiteral("poco")).AsString();
        well.Linha = pocos->FieldByName(QStringLiteral("linha")).AsInteger();
        well.Coluna = pocos->FieldByName(QStringLiteral("coluna")).AsInteger();
        well.Seq = pocos->FieldByName(QStringLiteral("seq_coleta")).AsInteger();
        well.Amostra = pocos->FieldByName(QStringLiteral("amostra")).AsString();
        // Codes are stored as floating-point numbers; a null reads as 0, an empty well.
        well.NcPlantio = qint64(pocos->FieldByName(QStringLiteral("nc_plantio")).AsFloat());
        if (well.NcPlantio != 0) {
            well.SampleCode = SampleCode(well.NcPlantio, source.NcPlantioBarcode);
            well.ColetadoPor = pocos->FieldByName(QStringLiteral("usuario")).AsString();
            well.DataColeta = pocos->FieldByName(QStringLiteral("data_coleta")).AsString();
        }
        well.OrigemColeta = pocos->FieldByName(QStringLiteral("origem_coleta")).AsString();
        anySampleWell = anySampleWell || well.Amostra == QLatin1String("T");
        read.Wells.push_back(std::move(well));
    }
    if (!anySampleWell)
        return false;
    plate = std::move(read);
    return true;
}

QStringList CollectedPlateCodes(TXConnection* connection)
{
    auto query = NewQuery(connection);
    query->SetSQL(kColetadasSQL);
    query->Open();
    QStringList codes;
    for (; !query->Eof(); query->Next())
        codes << query->Fields(0).AsString();
    return codes;
}
