#include "admintool.h"
#include "pgcluster.h"
#include "pgconnection.h"
#include "stdnum.h"
#include "xlsxinspector.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Plates ready to ship, in bulk, from what the server received: each file read back here.

namespace {

constexpr int kPlates = 70; // P001..P070, ready; NR lacks its 10th well
constexpr int kMissing = 10;

// Collection order runs down the columns (A1, B1, ... H1, A2, ...); the last two, G12 and
// H12, are controls.
QString WellOf(int seq)
{
    return QChar(u'A' + (seq - 1) % 8) + QString::number((seq - 1) / 8 + 1);
}

class ServerPlatesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_url = PgCluster::Instance().NewDatabase();
        ASSERT_EQ(RunAdmin({"servidor", "criar", m_url}).ExitCode, 0);
        PgConnection lab(m_url);
        for (const char* sql :
             {"INSERT INTO estacao (nome, operacao, lote, papel, cb_ncc, cb_nc_plantio)"
              " VALUES ('C1', 1, 'L1', 'r_c1', 1, 1), ('C2', 1, 'L1', 'r_c2', 1, 1)",
              "INSERT INTO placa SELECT i, i, CASE WHEN i <= 70 THEN 'P' ||"
              " lpad(i::text, 3, '0') ELSE 'NR' END, 8, 12, 'L1' FROM generate_series(1, 71) i",
              "INSERT INTO placa_poco (id_placa, placa, poco, linha, coluna, seq_coleta, amostra,"
              " status_poco) SELECT i, i, chr(64 + (s - 1) % 8 + 1) || ((s - 1) / 8 + 1),"
              " (s - 1) % 8 + 1, (s - 1) / 8 + 1, s, CASE WHEN s > 94 THEN 'C' ELSE 'T' END, 0"
              " FROM generate_series(1, 71) i, generate_series(1, 96) s",
              // Odd wells from C1, even ones from C2.
              "INSERT INTO placa_poco SELECT id_placa, placa, poco, linha, coluna, seq_coleta,"
              " amostra, 1, id_placa * 1000 + seq_coleta, 1, '2024-05-08 09:00:00', 'PC',"
              " CASE WHEN seq_coleta % 2 = 1 THEN 'C1' ELSE 'C2' END, now() FROM placa_poco"
              " WHERE amostra = 'T' AND NOT (id_placa = 71 AND seq_coleta = 10)"})
            lab.Exec(QString::fromLatin1(sql));
        // Each sample's code: the planting number as EAN-13.
        QStringList prefixes;
        for (int plate = 1; plate <= kPlates + 1; ++plate)
            for (int seq = 1; seq <= 94; ++seq)
                prefixes << QString::number(plate * 1000 + seq).rightJustified(12, u'0');
        const QStringList digits = StdnumCheckDigits(prefixes);
        ASSERT_EQ(digits.size(), prefixes.size());
        for (qsizetype i = 0; i < prefixes.size(); ++i)
            m_codes << prefixes[i] + digits[i];
    }

    QString Code(int plate, int seq) const { return m_codes[(plate - 1) * 94 + seq - 1]; }
    static QString PlateCode(int plate)
    {
        return plate > kPlates ? u"NR"_s : u"P%1"_s.arg(plate, 3, 10, QChar(u'0'));
    }

    /** Runs servidor placas into a new file; returns its path. */
    QString Export(const QString& format, const QStringList& extra)
    {
        const QString path = m_dir.filePath(format);
        const AdminRun run = RunAdmin(
            QStringList{"servidor", "placas", m_url, "--formato", format, "--saida", path} + extra);
        EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        return path;
    }

    QString m_url;
    QTemporaryDir m_dir;
    QStringList m_codes;
};

TEST_F(ServerPlatesTest, SeventyReadyPlatesGoOutInOneFileOfEachFormat)
{
    QStringList ready;
    for (int plate = 1; plate <= kPlates; ++plate)
        ready << PlateCode(plate);

    const XlsxContent book = ReadXlsx(Export(u"xlsx"_s, {"--prontas"}));
    ASSERT_TRUE(book.Ok);
    EXPECT_EQ(book.SheetNames, ready); // NR is not ready

    // Every well, the not-ready plate too, in collection order; blanks marked.
    QStringList all{u"--placa"_s, u"NR"_s};
    for (const QString& code : ready)
        all << u"--placa"_s << code;
    QStringList expected{u"Sample ID,Plate ID,Well,Subject Barcode,Plate Barcode,Comments"_s};
    for (int i = 0; i <= kPlates; ++i) // NR first, as asked
        for (int seq = 1, plate = i ? i : kPlates + 1; seq <= 96; ++seq) {
            const bool blank = seq > 94 || (plate > kPlates && seq == kMissing);
            expected << (blank ? u"BLANK,%1,%2,,%1,%3"_s.arg(PlateCode(plate), WellOf(seq),
                                                             seq > 94 ? u"controle"_s : u"vazio"_s)
                               : u"%1,%2,%3,%1,%2,"_s.arg(Code(plate, seq), PlateCode(plate),
                                                          WellOf(seq)));
        }
    EXPECT_EQ(QString::fromUtf8(FileBytes(Export(u"amostras"_s, all))).split(u"\r\n"_s),
              expected + QStringList{QString()});

    // DArT: samples only, never G12 or H12.
    QStringList dart{u"PlateID,Row,Column,Organism,Species,Genotype,Tissue,Comments"_s};
    for (int plate = 1; plate <= kPlates; ++plate)
        for (int seq = 1; seq <= 94; ++seq)
            dart << u"%1,%2,%3,Maize,Zea mays,%4,Leaf,"_s.arg(PlateCode(plate), WellOf(seq).left(1),
                                                              WellOf(seq).mid(1), Code(plate, seq));
    EXPECT_EQ(QString::fromUtf8(
                  FileBytes(Export(u"dart"_s, {"--prontas", "--organismo", "Maize", "--especie",
                                               "Zea mays", "--tecido", "Leaf"})))
                  .split(u"\r\n"_s),
              dart + QStringList{QString()});

    const QJsonObject brapi =
        QJsonDocument::fromJson(FileBytes(Export(u"brapi"_s, {"--prontas", "--cliente", "LAB"})))
            .object();
    EXPECT_EQ(brapi[u"clientId"_s].toString(), u"LAB"_s);
    EXPECT_EQ(brapi[u"numberOfSamples"_s].toInt(), kPlates * 94);
    const QJsonArray plates = brapi[u"plates"_s].toArray();
    ASSERT_EQ(plates.size(), kPlates);
    for (int plate = 1; plate <= kPlates; ++plate) {
        const QJsonArray samples = plates[plate - 1][u"samples"_s].toArray();
        ASSERT_EQ(samples.size(), 94) << plate;
        EXPECT_EQ(plates[plate - 1][u"clientPlateId"_s].toString(), PlateCode(plate));
        for (int seq = 1; seq <= 94; seq += 31)
            EXPECT_EQ(samples[seq - 1][u"well"_s].toString() + u'=' +
                          samples[seq - 1][u"clientSampleId"_s].toString(),
                      WellOf(seq) + u'=' + Code(plate, seq));
    }
}

TEST_F(ServerPlatesTest, WhatCannotBeSentIsRefusedAndNoFileIsLeft)
{
    const struct
    {
        QStringList Arguments;
        int Exit;
    } cases[] = {
        {{"--placa", "NAO-EXISTE", "--formato", "csv"}, 1},
        {{"--placa", "NR", "--formato", "odt"}, 2},
        {{"--placa", "NR", "--formato", "dart", "--organismo", "Maize"}, 2},
        {{"--placa", "P001", "--formato", "dart", "--organismo", "Maize;", "--tecido", "Leaf"}, 1},
        {{"--prontas", "--placa", "P001", "--formato", "csv"}, 2},
    };
    for (const auto& c : cases) {
        const QString path = m_dir.filePath(u"recusado"_s);
        const AdminRun run =
            RunAdmin(QStringList{"servidor", "placas", m_url, "--saida", path} + c.Arguments);
        EXPECT_EQ(run.ExitCode, c.Exit) << c.Arguments.join(u' ').toStdString();
        EXPECT_FALSE(QFile::exists(path)) << c.Arguments.join(u' ').toStdString();
    }
}

} // namespace
