#include "serverplates.h"

#include "pgconnection.h"
#include "xexception.h"

#include <QHash>

namespace {

// As the lab report counts: the layout's sample wells (empty rows) against the sample wells
// received filled.
const QString kReadySql =
    QStringLiteral("SELECT p.codigo FROM placa p JOIN placa_poco w ON w.id_placa = p.id_placa"
                   " WHERE w.amostra = 'T' GROUP BY p.id_placa, p.codigo"
                   " HAVING count(*) FILTER (WHERE w.estacao IS NULL) > 0"
                   "  AND count(*) FILTER (WHERE w.estacao IS NULL)"
                   "   = count(*) FILTER (WHERE w.estacao IS NOT NULL)"
                   " ORDER BY p.codigo");

// Each well once: the filled row received for it, else the plate's empty one.
const QString kWellsSql = QStringLiteral(
    "SELECT * FROM (SELECT DISTINCT ON (w.id_placa, w.poco) p.codigo, p.id_placa, p.tlinha,"
    "  p.tcoluna, w.poco, w.linha, w.coluna, w.seq_coleta, w.amostra, coalesce(w.nc_plantio, 0),"
    "  coalesce(u.codigo, w.user_coleta::text, ''), coalesce(w.data_coleta, ''),"
    "  coalesce(w.origem_coleta, ''), coalesce(w.estacao, ''), coalesce(e.cb_nc_plantio, -1)"
    "  FROM placa p JOIN placa_poco w ON w.id_placa = p.id_placa"
    "  LEFT JOIN usua u ON u.id_user = w.user_coleta LEFT JOIN estacao e ON e.nome = w.estacao"
    "  WHERE p.codigo = ANY ($1::text[])"
    "  ORDER BY w.id_placa, w.poco, w.estacao IS NULL) a"
    " ORDER BY 2, 8, 5");

const QString kKnownSql =
    QStringLiteral("SELECT codigo FROM placa WHERE codigo = ANY ($1::text[])");

/** A text[] literal: each element quoted, quotes and backslashes escaped. */
QString TextArray(const QStringList& values)
{
    QStringList quoted;
    for (QString value : values)
        quoted << QLatin1Char('"') +
                      value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
                          .replace(QLatin1Char('"'), QStringLiteral("\\\"")) +
                      QLatin1Char('"');
    return QLatin1Char('{') + quoted.join(QLatin1Char(',')) + QLatin1Char('}');
}

/** A comma-separated field, quoted when it must be. */
QString CommaField(const QString& value)
{
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) &&
        !value.contains(QLatin1Char('\n')) && !value.contains(QLatin1Char('\r')))
        return value;
    return QLatin1Char('"') + QString(value).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QByteArray Lines(const QList<QStringList>& rows)
{
    QByteArray out;
    for (const QStringList& row : rows) {
        QStringList fields;
        for (const QString& field : row)
            fields << CommaField(field);
        out += fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
    }
    return out;
}

QString RowLetter(int linha)
{
    return QString(QChar(u'A' + linha - 1));
}

} // namespace

QStringList ReadyPlateCodes(PgConnection& connection)
{
    const PgResult result = connection.Exec(kReadySql);
    QStringList codes;
    for (int r = 0; r < result.Rows(); ++r)
        codes << result.Text(r, 0);
    return codes;
}

std::vector<TPlateMap> ReadServerPlates(PgConnection& connection, const QStringList& codes)
{
    QStringList unique;
    for (const QString& code : codes)
        if (!unique.contains(code.trimmed()))
            unique << code.trimmed();
    const PgResult known = connection.Exec(kKnownSql, {TextArray(unique)});
    QStringList found;
    for (int r = 0; r < known.Rows(); ++r)
        found << known.Text(r, 0);
    for (const QString& code : unique)
        if (!found.contains(code))
            throw XException(QStringLiteral("A placa %1 não está no servidor.").arg(code));

    const PgResult wells = connection.Exec(kWellsSql, {TextArray(unique)});
    QHash<QString, TPlateMap> plates;
    QHash<QString, QStringList> stations;
    for (int r = 0; r < wells.Rows(); ++r) {
        TPlateMap& plate = plates[wells.Text(r, 0)];
        plate.Codigo = wells.Text(r, 0);
        plate.IdPlaca = int(wells.Int(r, 1));
        plate.TLinha = int(wells.Int(r, 2));
        plate.TColuna = int(wells.Int(r, 3));
        TPlateMapWell well;
        well.Poco = wells.Text(r, 4);
        well.Linha = int(wells.Int(r, 5));
        well.Coluna = int(wells.Int(r, 6));
        well.Seq = int(wells.Int(r, 7));
        well.Amostra = wells.Text(r, 8);
        well.NcPlantio = wells.Int(r, 9);
        if (well.NcPlantio != 0)
            well.SampleCode = SampleCode(well.NcPlantio, int(wells.Int(r, 14)));
        well.ColetadoPor = wells.Text(r, 10);
        well.DataColeta = wells.Text(r, 11);
        well.OrigemColeta = wells.Text(r, 12);
        const QString station = wells.Text(r, 13);
        if (!station.isEmpty() && !stations[plate.Codigo].contains(station))
            stations[plate.Codigo] << station;
        plate.Wells.push_back(well);
    }
    std::vector<TPlateMap> list;
    for (const QString& code : unique) {
        TPlateMap plate = plates.value(code);
        plate.Codigo = code;
        QStringList names = stations.value(code);
        names.sort();
        plate.Station = names.join(QStringLiteral(", "));
        list.push_back(std::move(plate));
    }
    return list;
}

QByteArray SampleIdSheet(const std::vector<TPlateMap>& plates)
{
    QList<QStringList> rows{{QStringLiteral("Sample ID"), QStringLiteral("Plate ID"),
                             QStringLiteral("Well"), QStringLiteral("Subject Barcode"),
                             QStringLiteral("Plate Barcode"), QStringLiteral("Comments")}};
    for (const TPlateMap& plate : plates) {
        for (const TPlateMapWell& well : plate.Wells) {
            const TWellKind kind = well.Kind();
            const bool sample = kind == TWellKind::Sample;
            rows.append({sample ? well.SampleCode : kBlankSample, plate.Codigo, well.Poco,
                         sample ? well.SampleCode : QString(), plate.Codigo,
                         kind == TWellKind::Control ? QStringLiteral("controle")
                         : sample                   ? QString()
                                                    : QStringLiteral("vazio")});
        }
    }
    return Lines(rows);
}

QByteArray DartSheet(const std::vector<TPlateMap>& plates, const DartOptions& options)
{
    static const QString refused = QStringLiteral(",;'\"");
    const auto check = [](const QString& what, const QString& text) {
        for (const QChar c : text)
            if (refused.contains(c))
                throw XException(QStringLiteral("%1 \"%2\" tem o caractere %3, que o arquivo de"
                                                " amostras do DArT não aceita.")
                                     .arg(what, text, c));
        return text;
    };
    if (options.Organism.trimmed().isEmpty() || options.Tissue.trimmed().isEmpty())
        throw XException(QStringLiteral("O arquivo de amostras do DArT precisa do organismo"
                                        " (--organismo) e do tecido (--tecido)."));
    check(QStringLiteral("O organismo"), options.Organism);
    check(QStringLiteral("A espécie"), options.Species);
    check(QStringLiteral("O tecido"), options.Tissue);
    QList<QStringList> rows{{QStringLiteral("PlateID"), QStringLiteral("Row"),
                             QStringLiteral("Column"), QStringLiteral("Organism"),
                             QStringLiteral("Species"), QStringLiteral("Genotype"),
                             QStringLiteral("Tissue"), QStringLiteral("Comments")}};
    for (const TPlateMap& plate : plates) {
        if (plate.TLinha != 8 || plate.TColuna != 12)
            throw XException(QStringLiteral("A placa %1 não é de 8 x 12 poços, como o DArT pede.")
                                 .arg(plate.Codigo));
        check(QStringLiteral("A placa"), plate.Codigo);
        for (const TPlateMapWell& well : plate.Wells) {
            if (well.Kind() != TWellKind::Sample)
                continue;
            if (well.Coluna == 12 && well.Linha >= 7)
                throw XException(QStringLiteral("A placa %1 tem amostra no poço %2; o DArT usa G12"
                                                " e H12 para os seus controles.")
                                     .arg(plate.Codigo, well.Poco));
            rows.append({plate.Codigo, RowLetter(well.Linha), QString::number(well.Coluna),
                         options.Organism, options.Species,
                         check(QStringLiteral("A amostra"), well.SampleCode), options.Tissue,
                         QString()});
        }
    }
    return Lines(rows);
}
