#include "demodata.h"

#include "data/txtransaction.h"

#include "data/txconnection.h"
#include "xexception.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr int kPlantioPlants = 300;
constexpr int kColetaPlantings = 400;
constexpr int kPlates = 4;
constexpr int kPlateRows = 8;
constexpr int kPlateColumns = 12;
constexpr int kControlWells = 2;
constexpr int kSampleWells = kPlateRows * kPlateColumns - kControlWells;
constexpr int kPartialWells = 30;

// Number ranges of the demo codes: a GS1-like prefix per kind, sized to the code type.
qint64 PlantBase(BarcodeType type)
{
    return type == BarcodeType::Ean13 ? Q_INT64_C(789100000000) : Q_INT64_C(7910000);
}

qint64 PlantingBase(BarcodeType type)
{
    return type == BarcodeType::Ean13 ? Q_INT64_C(200000000000) : Q_INT64_C(2000000);
}

qint64 PlateBase()
{
    return Q_INT64_C(300000000000);
}

const QString kPlantingOrigin = QStringLiteral("ESTACAO-PLANTIO");

QString Timestamp(int secondsAfterStart)
{
    const QDateTime start(QDate(2024, 3, 4), QTime(8, 0, 0));
    return start.addSecs(secondsAfterStart).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

qint64 PlantNc(int plant)
{
    return 5000 + (plant - 1) / 3;
}

int PlantRep(int plant)
{
    return (plant - 1) % 3 + 1;
}

QString PlantNote(int plant)
{
    return QStringLiteral("NC %1, REP %2").arg(PlantNc(plant)).arg(PlantRep(plant));
}

void AddUsers(TXConnection* connection)
{
    for (const DemoUser& user : DemoUsers())
        AddUser(connection, user.Codigo, user.Nome, user.Senha);
}

void AddPlants(TXConnection* connection, BarcodeType type, int count)
{
    for (int plant = 1; plant <= count; ++plant)
        InsertPlanta(connection, PlantBase(type) + plant, PlantNc(plant), PlantRep(plant));
}

QList<DemoCodeSection> AddPlantioDemo(TXConnection* connection, const StationConfig& config)
{
    struct Lote
    {
        const char* Nome;
        int Planned;
        int Planted;
        bool Transmitted;
    };
    const Lote lotes[] = {{"MILHO PRECOCE", 60, 60, true},
                          {"MILHO TARDIO", 80, 40, false},
                          {"SOJA RR", 100, 0, false},
                          {"SOJA CONVENCIONAL", 60, 0, false}};
    AddPlants(connection, config.CbNcc, kPlantioPlants);

    DemoCodeSection plantsFree{QStringLiteral("Plantas a plantar (NCC)"), {}};
    DemoCodeSection plantsDone{QStringLiteral("Plantas já plantadas (NCC)"), {}};
    DemoCodeSection plantingsFree{QStringLiteral("Códigos de plantio livres (NC Plantio)"), {}};
    DemoCodeSection plantingsUsed{QStringLiteral("Códigos de plantio já usados (NC Plantio)"), {}};
    const QString origin = StationComputerName();
    int plant = 0;
    int lote = 0;
    for (const Lote& item : lotes) {
        ++lote;
        InsertLote(connection, lote, QString::fromUtf8(item.Nome), item.Planned);
        for (int i = 0; i < item.Planted; ++i) {
            ++plant;
            PlantioRow row;
            row.IdSlote = lote;
            row.NcPlantio = PlantingBase(config.CbNcPlantio) + plant;
            row.Ncc = PlantBase(config.CbNcc) + plant;
            row.IdUser = 2;
            row.DataPlantio = Timestamp(plant * 37);
            row.Origem = item.Transmitted ? origin : QString();
            InsertPlantio(connection, row);
            const QString state =
                item.Transmitted ? QStringLiteral("transmitido") : QStringLiteral("a transmitir");
            plantsDone.Codes.append(
                {QStringLiteral("planta"), EanCode(row.Ncc, config.CbNcc),
                 PlantNote(plant) + QStringLiteral(", sub-lote %1, %2").arg(lote).arg(state)});
            plantingsUsed.Codes.append({QStringLiteral("plantio"),
                                        EanCode(row.NcPlantio, config.CbNcPlantio),
                                        QStringLiteral("sub-lote %1, %2").arg(lote).arg(state)});
        }
    }
    for (int free = plant + 1; free <= kPlantioPlants; ++free) {
        plantsFree.Codes.append({QStringLiteral("planta"),
                                 EanCode(PlantBase(config.CbNcc) + free, config.CbNcc),
                                 PlantNote(free)});
        plantingsFree.Codes.append(
            {QStringLiteral("plantio"),
             EanCode(PlantingBase(config.CbNcPlantio) + free, config.CbNcPlantio), QString()});
    }
    return {plantsFree, plantingsFree, plantsDone, plantingsUsed};
}

QList<DemoCodeSection> AddColetaDemo(TXConnection* connection, const StationConfig& config)
{
    AddPlants(connection, config.CbNcc, kColetaPlantings);
    InsertLote(connection, 1, QStringLiteral("MILHO PRECOCE"), 200);
    InsertLote(connection, 2, QStringLiteral("SOJA RR"), 200);
    for (int plant = 1; plant <= kColetaPlantings; ++plant) {
        PlantioRow row;
        row.IdSlote = plant <= 200 ? 1 : 2;
        row.NcPlantio = PlantingBase(config.CbNcPlantio) + plant;
        row.Ncc = PlantBase(config.CbNcc) + plant;
        row.IdUser = 2;
        row.DataPlantio = Timestamp(plant * 37);
        row.Origem = kPlantingOrigin;
        InsertPlantio(connection, row);
    }

    DemoCodeSection plates{QStringLiteral("Placas"), {}};
    for (int plate = 1; plate <= kPlates; ++plate) {
        const QString code = EanCode(PlateBase() + plate, BarcodeType::Ean13);
        InsertPlaca(connection, plate, plate, code, kPlateRows, kPlateColumns, kControlWells);
        const QString notes[] = {
            QStringLiteral("coletada e transmitida"),
            QStringLiteral("%1 poços coletados, a transmitir").arg(kPartialWells),
            QStringLiteral("vazia"), QStringLiteral("vazia")};
        plates.Codes.append({QStringLiteral("placa"), code,
                             QStringLiteral("placa %1, %2").arg(plate).arg(notes[plate - 1])});
    }

    DemoCodeSection collected{QStringLiteral("Plantios já coletados (NC Plantio)"), {}};
    DemoCodeSection ready{QStringLiteral("Plantios prontos para coletar (NC Plantio)"), {}};
    const QString origin = StationComputerName();
    int planting = 0;
    auto collect = [&](int plate, int wells, const QString& origem) {
        for (int seq = 1; seq <= wells; ++seq) {
            ++planting;
            const qint64 nc = PlantingBase(config.CbNcPlantio) + planting;
            CollectWell(connection, plate, seq, nc, 2, Timestamp(86400 + planting * 23), origem);
            collected.Codes.append(
                {QStringLiteral("plantio"), EanCode(nc, config.CbNcPlantio),
                 QStringLiteral("placa %1, poço %2")
                     .arg(plate)
                     .arg(WellName((seq - 1) % kPlateRows + 1, (seq - 1) / kPlateRows + 1))});
        }
    };
    collect(1, kSampleWells, origin);
    collect(2, kPartialWells, QString());
    for (int free = planting + 1; free <= kColetaPlantings; ++free) {
        ready.Codes.append({QStringLiteral("plantio"),
                            EanCode(PlantingBase(config.CbNcPlantio) + free, config.CbNcPlantio),
                            QString()});
    }
    return {plates, ready, collected};
}

} // namespace

const QList<DemoUser>& DemoUsers()
{
    static const QList<DemoUser> users = {
        {QStringLiteral("ADMIN"), QStringLiteral("ADMINISTRADOR"), QStringLiteral("1234")},
        {QStringLiteral("OPERADOR"), QStringLiteral("OPERADOR DE CAMPO"), QStringLiteral("4321")}};
    return users;
}

StationOptions DemoStationOptions(StationOperation operation, BarcodeType ncc,
                                  BarcodeType ncPlantio)
{
    StationOptions options;
    options.Operation = operation;
    options.CbNcc = ncc;
    options.CbNcPlantio = ncPlantio;
    options.RelaInicial = double(PlantingBase(ncPlantio) + 1);
    options.RelaFinal = double(PlantingBase(ncPlantio) + 9999);
    options.DescricaoLote = QStringLiteral("SAFRA DEMO 2024");
    options.AlertSound = NewStationAlertSound();
    return options;
}

QList<DemoCodeSection> AddDemoData(TXConnection* connection)
{
    const StationConfig config = ReadStationConfig(connection);
    AddUsers(connection);
    return config.Operation == StationOperation::Coleta ? AddColetaDemo(connection, config)
                                                        : AddPlantioDemo(connection, config);
}

QString DemoCodesPath(const QString& databasePath)
{
    const QFileInfo info(databasePath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("-codigos.txt"));
}

QString DemoCodesText(const QString& databasePath, StationOperation operation,
                      const QList<DemoCodeSection>& sections)
{
    QString text = QStringLiteral("Tressalin - códigos de demonstração\n");
    text += QStringLiteral("Banco de dados: %1 (estação de %2)\n")
                .arg(QFileInfo(databasePath).fileName(), operation == StationOperation::Coleta
                                                             ? QStringLiteral("coleta")
                                                             : QStringLiteral("plantio"));
    text += QStringLiteral("Usuários:");
    for (const DemoUser& user : DemoUsers())
        text += QStringLiteral(" %1 (senha %2)").arg(user.Codigo, user.Senha);
    text += QStringLiteral("\nCada código inclui o dígito verificador.\n");
    for (const DemoCodeSection& section : sections) {
        text += QStringLiteral("\n[%1]\n").arg(section.Title);
        for (const DemoCode& code : section.Codes) {
            QString line = code.Kind.leftJustified(8) + code.Code;
            if (!code.Note.isEmpty())
                line += QStringLiteral("  ") + code.Note;
            text += line + QLatin1Char('\n');
        }
    }
    return text;
}

void CreateDemoStation(const QString& path, const StationOptions& options)
{
    const QString codesPath = DemoCodesPath(path);
    if (QFileInfo::exists(codesPath))
        throw XException(
            QStringLiteral("O arquivo %1 já existe e não será alterado.").arg(codesPath));
    CreateStation(path, options);
    try {
        QList<DemoCodeSection> sections;
        {
            auto connection = OpenStation(path);
            TXTransaction transaction(connection.get());
            sections = AddDemoData(connection.get());
            transaction.Commit();
        }
        QSaveFile file(codesPath);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(DemoCodesText(path, options.Operation, sections).toUtf8()) < 0 ||
            !file.commit()) {
            throw XException(QStringLiteral("Não foi possível gravar %1: %2")
                                 .arg(codesPath, file.errorString()));
        }
    } catch (...) {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        throw;
    }
}
