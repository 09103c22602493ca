#include "codekind.h"
#include "data/txconnection.h"
#include "provisionedstation.h"
#include "tappconfig.h"
#include "xean.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

QString Label(qint64 number)
{
    const QString digits = QString::number(number);
    return digits + QString::number(EanCheckDigit(digits));
}

// NCCs are EAN-13, planting codes EAN-8 inside 2000000..2999999, plates EAN-13.
constexpr qint64 kPlant = 789100000001;
constexpr qint64 kUsedPlanting = 2000001;
constexpr qint64 kFreePlanting = 2000002;
constexpr qint64 kOutOfRange = 3000003;
constexpr qint64 kPlate = 300000000001;

class CodeKindTest : public testing::TestWithParam<std::tuple<const char*, QString, TCodeKind, QString>>
{
protected:
    static void SetUpTestSuite()
    {
        station = std::make_unique<ProvisionedStation>(StationOperation::Coleta);
        auto db = station->Open();
        InsertPlanta(db.get(), kPlant, 5001, 1);
        InsertPlantio(db.get(), {1, kUsedPlanting, kPlant, 1, u"2024-01-01 10:00:00"_s, {}});
        InsertPlaca(db.get(), 1, 1, Label(kPlate), 8, 12);
        connection = station->Open();
        config.cb_ncc = 1;
        config.cb_nc_plantio = 0;
        config.rela_inicial = 2000000;
        config.rela_final = 2999999;
    }
    static void TearDownTestSuite()
    {
        connection.reset();
        station.reset();
    }

    static inline std::unique_ptr<ProvisionedStation> station;
    static inline std::unique_ptr<TXConnection> connection;
    static inline TAppConfig config;
};

TEST_P(CodeKindTest, NamesWhatARefusedCodeIs)
{
    const auto& [name, code, expected, note] = GetParam();
    EXPECT_EQ(WrongKindNote(connection.get(), config, code, expected),
              note.isEmpty() ? QString() : u"\r\n"_s + note)
        << name;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, CodeKindTest,
    testing::Values(
        std::tuple{"used_planting_code_for_ncc", Label(kUsedPlanting), TCodeKind::Ncc,
                   u"Este código é um NC Plantio, leia o NCC."_s},
        std::tuple{"free_planting_code_for_ncc", Label(kFreePlanting), TCodeKind::Ncc,
                   u"Este código é um NC Plantio, leia o NCC."_s},
        std::tuple{"ncc_for_planting_code", Label(kPlant), TCodeKind::NcPlantio,
                   u"Este código é um NCC, leia o NC Plantio."_s},
        std::tuple{"plate_for_planting_code", Label(kPlate), TCodeKind::NcPlantio,
                   u"Este código é uma Placa, leia o NC Plantio."_s},
        std::tuple{"planting_code_for_plate", Label(kUsedPlanting), TCodeKind::Placa,
                   u"Este código é um NC Plantio, leia a Placa."_s},
        std::tuple{"ncc_for_plate", Label(kPlant), TCodeKind::Placa,
                   u"Este código é um NCC, leia a Placa."_s},
        std::tuple{"unknown_code", Label(kOutOfRange), TCodeKind::Ncc, QString()},
        std::tuple{"wrong_check_digit", u"20000010"_s, TCodeKind::Ncc, QString()}),
    [](const auto& info) { return std::string(std::get<0>(info.param)); });

} // namespace
