#include "connectionfile.h"
#include "data/txconnection.h"
#include "registerreports.h"
#include "shellfixture.h"
#include "tfcons_coletacad.h"
#include "tfcons_coletaresumo.h"
#include "tfcons_plantiocad.h"
#include "tfcons_plantioresumo.h"
#include "txdbgrid.h"
#include "txradiogroup.h"
#include "txxls.h"
#include "xfiledialogs.h"
#include "xlsxinspector.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QString kTransmitted = u"CENTRAL"_s;

/** Rows of cell texts, each row's joined by "|". */
QStringList JoinedRows(int rows, int columns, const std::function<QVariant(int, int)>& value)
{
    QStringList joined;
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << value(r, c).toString();
        joined << cells.join(u'|');
    }
    return joined;
}

QStringList ShownRows(const TFCons_Base* screen)
{
    const TXQueryModel* m = screen->GCons->Model();
    return JoinedRows(m->rowCount(), m->columnCount(),
                      [m](int r, int c) { return m->data(m->index(r, c)); });
}

class ReportTest : public ShellTest
{
protected:
    explicit ReportTest(StationOperation operation) : ShellTest(operation) {}

    void SetUp() override
    {
        ShellTest::SetUp();
        RegisterReportScreens(mainForm.get());
        const auto db = station.Open();
        ana = AddUser(db.get(), u"ANA"_s, u"Ana Souza"_s, u"123"_s);
        bia = AddUser(db.get(), u"BIA"_s, u"Bia Lima"_s, u"456"_s);
        InsertLote(db.get(), 1, u"L1"_s, 10);
        InsertLote(db.get(), 2, u"L2"_s, 5);
        InsertLote(db.get(), 3, u"L3"_s, 7); // nothing planted
        const PlantioRow plantings[] = {
            {1, 1001, 501, ana, u"2024-01-01 08:00:00"_s, kTransmitted},
            {1, 1003, 503, bia, u"2024-01-02 10:00:00"_s, QString()},
            {1, 1002, 502, ana, u"2024-01-01 09:00:00"_s, QString()},
            {2, 2001, 601, bia, u"2024-01-03 08:00:00"_s, kTransmitted},
            {2, 3001, 701, ana, u"2024-01-04 08:00:00"_s, QString()},
        };
        for (const PlantioRow& row : plantings)
            InsertPlantio(db.get(), row);
        station.WriteConnectionFile();
    }

    void TearDown() override
    {
        SetFileDialogHandler({});
        ShellTest::TearDown();
    }

    template <class T> T* Screen(QAction* action) const
    {
        action->trigger();
        QMdiSubWindow* sub = FindChildForm(T::staticMetaObject.className());
        return sub ? qobject_cast<T*>(sub->widget()) : nullptr;
    }

    // Each choice with the rows it shows once "Atualizar" is pressed.
    void CheckChoices(TFCons_Base* screen, const QList<std::pair<int, QStringList>>& cases)
    {
        for (const auto& [choice, rows] : cases) {
            SCOPED_TRACE(choice);
            screen->RGFiltro->Button(choice)->click();
            screen->BConfirm->click();
            EXPECT_EQ(ShownRows(screen), rows);
        }
    }

    int ana = 0;
    int bia = 0;
};

class PlantioReportTest : public ReportTest
{
protected:
    PlantioReportTest() : ReportTest(StationOperation::Plantio) {}

    void SetUp() override
    {
        ReportTest::SetUp();
        // 3001 was deleted by BIA: archived, then removed.
        station.Exec(u"INSERT INTO Plantio_Exc SELECT *, %1, '2024-01-05 12:00:00' FROM Plantio "
                     "WHERE NC_PLANTIO = 3001"_s.arg(bia));
        station.Exec(u"DELETE FROM Plantio WHERE NC_PLANTIO = 3001"_s);
    }
};

class ColetaReportTest : public ReportTest
{
protected:
    ColetaReportTest() : ReportTest(StationOperation::Coleta) {}
};

TEST_F(PlantioReportTest, ReportsListEachChoiceAndOpenOnWhatIsLeftToTransmit)
{
    Start();
    auto* screen = Screen<TFCons_PlantioCad>(mainForm->LCONS_CADASTRO);
    ASSERT_NE(screen, nullptr);
    // Shown at once with the second choice, without pressing "Atualizar".
    const QStringList pending = {"L1|502|1002|2024-01-01 09:00:00|ANA|Ana Souza|A Transmitir",
                                 "L1|503|1003|2024-01-02 10:00:00|BIA|Bia Lima|A Transmitir"};
    EXPECT_EQ(ShownRows(screen), pending);
    EXPECT_EQ(screen->LRegistro->text(), u"Registros: 2"_s);
    CheckChoices(
        screen,
        {{0,
          {"L1|501|1001|2024-01-01 08:00:00|ANA|Ana Souza|Transmitido", pending[0], pending[1],
           "L2|601|2001|2024-01-03 08:00:00|BIA|Bia Lima|Transmitido"}},
         // Deleted records: the condition text plays no part.
         {2, {"L2|701|3001|2024-01-04 08:00:00|ANA|Ana Souza|BIA|Bia Lima|2024-01-05 12:00:00"}}});

    // The summary lists planted sub-batches only; an empty count is null, not 0.
    auto* resumo = Screen<TFCons_PlantioResumo>(mainForm->LCONS_RESUMO);
    ASSERT_NE(resumo, nullptr);
    const QString l1 = u"L1|10|3|1|2|2024-01-01 09:00:00|2024-01-02 10:00:00"_s;
    CheckChoices(resumo, {{1, {l1}}, {0, {l1, "L2|5|1|1|||"}}});
}

TEST_F(ColetaReportTest, ReportsListEachChoice)
{
    const auto db = station.Open();
    InsertPlaca(db.get(), 1, 1, u"PL-001"_s, 2, 2, 0);
    InsertPlaca(db.get(), 2, 2, u"PL-002"_s, 2, 2, 0);
    CollectWell(db.get(), 1, 1, 1001, ana, u"2024-02-01 08:00:00"_s, kTransmitted);
    CollectWell(db.get(), 1, 3, 1003, bia, u"2024-02-01 08:20:00"_s);
    CollectWell(db.get(), 1, 2, 1002, ana, u"2024-02-01 08:10:00"_s);
    CollectWell(db.get(), 2, 1, 2001, bia, u"2024-02-02 09:00:00"_s, kTransmitted);
    // BIA's reset archived PL-002's well, which was then collected again.
    station.Exec(u"INSERT INTO Placa_Poco_Exc SELECT *, %1, '2024-02-03 07:30:00' "
                 "FROM Placa_Poco WHERE ID_PLACA = 2"_s.arg(bia));
    Start();
    auto* screen = Screen<TFCons_ColetaCad>(mainForm->LCONS_CADASTRO);
    ASSERT_NE(screen, nullptr);
    const QString b1 = u"PL-001|2|B1|1002|502|2024-02-01 08:10:00|ANA|Ana Souza|A Transmitir"_s;
    const QString a2 = u"PL-001|3|A2|1003|503|2024-02-01 08:20:00|BIA|Bia Lima|A Transmitir"_s;
    const QString pl2 = u"PL-002|1|A1|2001|601|2024-02-02 09:00:00|BIA|Bia Lima"_s;
    CheckChoices(screen, {{0,
                           {"PL-001|1|A1|1001|501|2024-02-01 08:00:00|ANA|Ana Souza|Transmitido",
                            b1, a2, pl2 + "|Transmitido"}},
                          {1, {b1, a2}},
                          {2, {pl2 + "|BIA|Bia Lima|2024-02-03 07:30:00"}}});

    auto* resumo = Screen<TFCons_ColetaResumo>(mainForm->LCONS_RESUMO);
    ASSERT_NE(resumo, nullptr);
    const QString pl1 = u"PL-001|3|1|2|2024-02-01 08:10:00|2024-02-01 08:20:00"_s;
    CheckChoices(resumo, {{0, {pl1, "PL-002|1|1|||"}}, {1, {pl1}}});
}

TEST_F(PlantioReportTest, ExportRefusesATakenNameAndLoadErrorsAreShown)
{
    Start();
    auto* screen = OpenChildForm<TFCons_PlantioCad>();
    // Shading: the first record plain, the second shaded, a selected one never.
    const TXCellDrawHook& hook = screen->GCons->DrawHook();
    EXPECT_FALSE(hook(0, 0, false).Background.isValid());
    EXPECT_TRUE(hook(1, 3, false).Background.isValid());
    EXPECT_FALSE(hook(1, 3, true).Background.isValid());

    // A name taken after the screen looked: a dangling link is "no file" to the check but
    // occupies the name, as a file created meanwhile would.
    const QString taken = station.FilePath(u"ocupado.xlsx"_s);
    ASSERT_TRUE(QFile::link(station.FilePath(u"nada"_s), taken));
    QFile existing(station.FilePath(u"relatorio.xlsx"_s)); // the operator's own file
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("do operador");
    existing.close();
    const QList<std::pair<QString, QString>> cases = {
        {QString(), QString()}, // cancelled
        {existing.fileName(), "O arquivo " + existing.fileName() + " já existe."},
        {taken, "Erro ao Exportar os dados.\r\n Erro: (EOleException)  O arquivo " + taken +
                    " já existe."},
    };
    for (const auto& [chosen, box] : cases) {
        SCOPED_TRACE(chosen.toStdString());
        presenter.Clear();
        SetFileDialogHandler([&](const TXFileDialogRequest&) { return chosen; });
        screen->BExportar->click();
        EXPECT_EQ(presenter.Texts(), box.isEmpty() ? QStringList() : QStringList{box});
    }
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("do operador"));
    EXPECT_TRUE(QFileInfo(taken).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(station.FilePath(u"nada"_s)));

    // A load error reaches the default error display.
    station.Exec(u"DROP TABLE Plantio_Exc"_s);
    screen->RGFiltro->Button(2)->click();
    QTest::mouseClick(screen->BConfirm, Qt::LeftButton);
    EXPECT_EQ(presenter.Last().Kind, TXMessageKind::Error);
    EXPECT_TRUE(presenter.Last().Text.contains(u"Plantio_Exc"_s))
        << qPrintable(presenter.Last().Text);
}

TEST_F(PlantioReportTest, ExportWritesWhatIsShownAndClosingMeanwhileWaitsForTheFile)
{
    Start();
    QPointer<TFCons_Base> screen = OpenChildForm<TFCons_PlantioCad>();
    const QStringList shown = ShownRows(screen);
    ASSERT_EQ(shown.size(), 2);
    screen->RGFiltro->Button(0)->click(); // only marks the grid stale
    EXPECT_TRUE(screen->Stale());

    const QString target = station.FilePath(u"relatorio.xlsx"_s);
    SetFileDialogHandler([&](const TXFileDialogRequest&) { return target; });
    bool duringExport = false;
    bool closedAtOnce = true;
    QTimer::singleShot(0, mainForm.get(), [&] {
        duringExport = screen->XLS->IsOpen();
        closedAtOnce = screen->close() || mainForm->close();
    });
    screen->BExportar->click();
    EXPECT_TRUE(duringExport);
    EXPECT_FALSE(closedAtOnce);
    EXPECT_EQ(presenter.Texts(), QStringList{"Arquivo " + target + " exportado com sucesso."});
    const XlsxContent f = ReadXlsx(target);
    const auto cell = [&](int r, int c) { return f.At(TXXLS::CellName(r + 2, c + 1)).Value; };
    EXPECT_EQ(JoinedRows(f.MaxRow - 1, f.MaxColumn, cell), shown);
    // Then the main window closes, and its screens with it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen.isNull(); }, 5000));
    EXPECT_FALSE(mainForm->isVisible());
}

TEST_F(PlantioReportTest, WithoutALoadedConfigurationTheScreenSaysSoAndCloses)
{
    QFile::remove(ConnectionFilePathFor(station.ProgramPath()));
    Start(); // no connection file: the connection screen opens instead
    ASSERT_FALSE(mainForm->AppConfig->Loaded);
    presenter.Clear();
    OpenChildForm<TFCons_PlantioResumo>();
    EXPECT_EQ(presenter.Texts(), QStringList{u"Banco de dados não Conectado."_s});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(FindChildForm("TFCons_PlantioResumo"), nullptr);
}

} // namespace
