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
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

namespace {

const QString kTransmitted = QStringLiteral("CENTRAL");

/** The rows a report shows, each as its display texts joined by "|". */
QStringList ShownRows(const TFCons_Base* screen)
{
    const TXQueryModel* model = screen->GCons->Model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->data(model->index(r, c)).toString();
        rows << cells.join(u'|');
    }
    return rows;
}

/** The exported sheet's rows under its titles, as ShownRows gives them. */
QStringList FileRows(const XlsxContent& file)
{
    QStringList rows;
    for (int r = 2; r <= file.MaxRow; ++r) {
        QStringList cells;
        for (int c = 1; c <= file.MaxColumn; ++c)
            cells << file.At(TXXLS::CellName(r, c)).Value.toString();
        rows << cells.join(u'|');
    }
    return rows;
}

/** A choice of a report screen and the rows it shows once "Atualizar" is pressed. */
using ChoiceCase = std::pair<int, QStringList>;

class ReportTest : public ShellTest
{
protected:
    explicit ReportTest(StationOperation operation) : ShellTest(operation) {}

    void SetUp() override
    {
        ShellTest::SetUp();
        RegisterReportScreens(mainForm.get());
        auto connection = station.Open();
        ana = AddUser(connection.get(), QStringLiteral("ANA"), QStringLiteral("Ana Souza"),
                      QStringLiteral("123"));
        bia = AddUser(connection.get(), QStringLiteral("BIA"), QStringLiteral("Bia Lima"),
                      QStringLiteral("456"));
        InsertLote(connection.get(), 1, QStringLiteral("L1"), 10);
        InsertLote(connection.get(), 2, QStringLiteral("L2"), 5);
        InsertLote(connection.get(), 3, QStringLiteral("L3"), 7); // nothing planted
        const PlantioRow plantings[] = {
            {1, 1001, 501, ana, QStringLiteral("2024-01-01 08:00:00"), kTransmitted},
            {1, 1003, 503, bia, QStringLiteral("2024-01-02 10:00:00"), QString()},
            {1, 1002, 502, ana, QStringLiteral("2024-01-01 09:00:00"), QString()},
            {2, 2001, 601, bia, QStringLiteral("2024-01-03 08:00:00"), kTransmitted},
            {2, 3001, 701, ana, QStringLiteral("2024-01-04 08:00:00"), QString()},
        };
        for (const PlantioRow& row : plantings)
            InsertPlantio(connection.get(), row);
        station.WriteConnectionFile();
    }

    void TearDown() override
    {
        SetFileDialogHandler({});
        ShellTest::TearDown();
    }

    template <class T> T* Screen() const
    {
        QMdiSubWindow* sub = FindChildForm(T::staticMetaObject.className());
        return sub ? qobject_cast<T*>(sub->widget()) : nullptr;
    }

    void CheckChoices(TFCons_Base* screen, const QList<ChoiceCase>& cases)
    {
        for (const auto& [choice, rows] : cases) {
            SCOPED_TRACE(choice);
            screen->RGFiltro->Button(choice)->click();
            screen->BConfirm->click();
            EXPECT_FALSE(screen->Stale());
            EXPECT_EQ(ShownRows(screen), rows);
            EXPECT_EQ(screen->LRegistro->text(),
                      QStringLiteral("Registros: ") + QString::number(rows.size()));
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
        station.Exec(QStringLiteral("INSERT INTO Plantio_Exc SELECT *, %1, '2024-01-05 12:00:00' "
                                    "FROM Plantio WHERE NC_PLANTIO = 3001")
                         .arg(bia));
        station.Exec(QStringLiteral("DELETE FROM Plantio WHERE NC_PLANTIO = 3001"));
    }
};

class ColetaReportTest : public ReportTest
{
protected:
    ColetaReportTest() : ReportTest(StationOperation::Coleta) {}

    void SetUp() override
    {
        ReportTest::SetUp();
        auto connection = station.Open();
        InsertPlaca(connection.get(), 1, 1, QStringLiteral("PL-001"), 2, 2, 0);
        InsertPlaca(connection.get(), 2, 2, QStringLiteral("PL-002"), 2, 2, 0);
        InsertPlaca(connection.get(), 3, 3, QStringLiteral("PL-003"), 2, 2, 0);
        CollectWell(connection.get(), 1, 1, 1001, ana, QStringLiteral("2024-02-01 08:00:00"),
                    kTransmitted);
        CollectWell(connection.get(), 1, 3, 1003, bia, QStringLiteral("2024-02-01 08:20:00"));
        CollectWell(connection.get(), 1, 2, 1002, ana, QStringLiteral("2024-02-01 08:10:00"));
        CollectWell(connection.get(), 2, 1, 2001, bia, QStringLiteral("2024-02-02 09:00:00"),
                    kTransmitted);
        // A well of PL-003 was collected, archived by BIA's reset, and emptied again.
        CollectWell(connection.get(), 3, 1, 3001, ana, QStringLiteral("2024-02-03 07:00:00"));
        station.Exec(QStringLiteral("INSERT INTO Placa_Poco_Exc SELECT *, %1, "
                                    "'2024-02-03 07:30:00' FROM Placa_Poco WHERE ID_PLACA = 3 "
                                    "AND SEQ_COLETA = 1")
                         .arg(bia));
        station.Exec(QStringLiteral("UPDATE Placa_Poco SET NC_PLANTIO = NULL, USER_COLETA = NULL, "
                                    "DATA_COLETA = NULL, STATUS_POCO = 0 "
                                    "WHERE ID_PLACA = 3 AND SEQ_COLETA = 1"));
    }
};

TEST_F(PlantioReportTest, ReportsListEachChoiceAndOpenOnWhatIsLeftToTransmit)
{
    Start();
    mainForm->LCONS_CADASTRO->trigger();
    auto* screen = Screen<TFCons_PlantioCad>();
    ASSERT_NE(screen, nullptr);
    // Shown at once with the second choice, without pressing "Atualizar".
    const QStringList pending = {"L1|502|1002|2024-01-01 09:00:00|ANA|Ana Souza|A Transmitir",
                                 "L1|503|1003|2024-01-02 10:00:00|BIA|Bia Lima|A Transmitir"};
    EXPECT_EQ(screen->RGFiltro->ItemIndex(), 1);
    EXPECT_TRUE(screen->GCons->isVisible());
    EXPECT_EQ(ShownRows(screen), pending);
    EXPECT_EQ(screen->LRegistro->text(), QStringLiteral("Registros: 2"));
    CheckChoices(
        screen,
        {{0,
          {"L1|501|1001|2024-01-01 08:00:00|ANA|Ana Souza|Transmitido", pending[0], pending[1],
           "L2|601|2001|2024-01-03 08:00:00|BIA|Bia Lima|Transmitido"}},
         // Deleted records: the condition text plays no part.
         {2, {"L2|701|3001|2024-01-04 08:00:00|ANA|Ana Souza|BIA|Bia Lima|2024-01-05 12:00:00"}}});

    // The summary lists planted sub-batches only; an empty count is null, not 0.
    mainForm->LCONS_RESUMO->trigger();
    auto* resumo = Screen<TFCons_PlantioResumo>();
    ASSERT_NE(resumo, nullptr);
    const QString l1 = QStringLiteral("L1|10|3|1|2|2024-01-01 09:00:00|2024-01-02 10:00:00");
    CheckChoices(resumo, {{1, {l1}}, {0, {l1, "L2|5|1|1|||"}}});
    EXPECT_TRUE(resumo->GCons->Model()->TypedValue(1, 4).isNull());
    EXPECT_EQ(resumo->GCons->Model()->TypedValue(1, 3).toLongLong(), 1);
}

TEST_F(ColetaReportTest, ReportsListEachChoice)
{
    Start();
    mainForm->LCONS_CADASTRO->trigger();
    auto* screen = Screen<TFCons_ColetaCad>();
    ASSERT_NE(screen, nullptr);
    const QString b1 =
        QStringLiteral("PL-001|2|B1|1002|502|2024-02-01 08:10:00|ANA|Ana Souza|A Transmitir");
    const QString a2 =
        QStringLiteral("PL-001|3|A2|1003|503|2024-02-01 08:20:00|BIA|Bia Lima|A Transmitir");
    CheckChoices(screen,
                 {{0,
                   {"PL-001|1|A1|1001|501|2024-02-01 08:00:00|ANA|Ana Souza|Transmitido", b1, a2,
                    "PL-002|1|A1|2001|601|2024-02-02 09:00:00|BIA|Bia Lima|Transmitido"}},
                  {1, {b1, a2}},
                  {2,
                   {"PL-003|1|A1|3001|701|2024-02-03 07:00:00|ANA|Ana Souza|BIA|Bia "
                    "Lima|2024-02-03 07:30:00"}}});

    mainForm->LCONS_RESUMO->trigger();
    auto* resumo = Screen<TFCons_ColetaResumo>();
    ASSERT_NE(resumo, nullptr);
    const QString pl1 = QStringLiteral("PL-001|3|1|2|2024-02-01 08:10:00|2024-02-01 08:20:00");
    CheckChoices(resumo, {{0, {pl1, "PL-002|1|1|||"}}, {1, {pl1}}});
}

TEST_F(PlantioReportTest, ExportWritesWhatIsShownIntoANewFileOnlyAndLoadErrorsAreShown)
{
    Start();
    auto* screen = OpenChildForm<TFCons_PlantioCad>();
    const QStringList shown = ShownRows(screen);
    ASSERT_EQ(shown.size(), 2);
    // Changing the choice only marks the grid stale.
    screen->RGFiltro->Button(0)->click();
    EXPECT_TRUE(screen->Stale());
    EXPECT_EQ(ShownRows(screen), shown);

    const QString target = station.FilePath(QStringLiteral("relatorio.xlsx"));
    SetFileDialogHandler([&](const TXFileDialogRequest&) { return target; });
    screen->BExportar->click();
    EXPECT_EQ(presenter.Texts(), QStringList{QStringLiteral("Arquivo ") + target +
                                             QStringLiteral(" exportado com sucesso.")});
    const XlsxContent file = ReadXlsx(target);
    ASSERT_TRUE(file.Ok) << qPrintable(file.Error);
    EXPECT_EQ(FileRows(file), shown);
    EXPECT_TRUE(screen->Stale()); // exporting does not reload

    // Shading: the first record plain, the second shaded, a selected one never.
    const TXCellDrawHook& hook = screen->GCons->DrawHook();
    EXPECT_FALSE(hook(0, 0, false).Background.isValid());
    EXPECT_TRUE(hook(1, 3, false).Background.isValid());
    EXPECT_FALSE(hook(1, 3, true).Background.isValid());

    // A name taken after the screen looked: a dangling link is "no file" to the check but
    // occupies the name, as a file created meanwhile would.
    const QString taken = station.FilePath(QStringLiteral("ocupado.xlsx"));
    ASSERT_TRUE(QFile::link(station.FilePath(QStringLiteral("nada")), taken));
    QFile existing(target); // now the operator's own file
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly | QIODevice::Truncate));
    existing.write("do operador");
    existing.close();
    const QList<std::pair<QString, QString>> cases = {
        {QString(), QString()}, // cancelled
        {target, QStringLiteral("O arquivo ") + target + QStringLiteral(" já existe.")},
        {taken, QStringLiteral("Erro ao Exportar os dados.\r\n Erro: (EOleException)  O arquivo ") +
                    taken + QStringLiteral(" já existe.")},
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
    EXPECT_FALSE(QFileInfo::exists(station.FilePath(QStringLiteral("nada"))));
    EXPECT_EQ(QDir(station.Dir())
                  .entryList({QStringLiteral("*.xlsx*"), QStringLiteral(".*.tmp")},
                             QDir::Files | QDir::Hidden | QDir::System),
              (QStringList{QStringLiteral("ocupado.xlsx"), QStringLiteral("relatorio.xlsx")}));

    // A load error reaches the default error display.
    station.Exec(QStringLiteral("DROP TABLE Plantio_Exc"));
    presenter.Clear();
    screen->RGFiltro->Button(2)->click();
    QTest::mouseClick(screen->BConfirm, Qt::LeftButton);
    ASSERT_EQ(presenter.Count(), 1);
    EXPECT_EQ(presenter.Last().Kind, TXMessageKind::Error);
    EXPECT_TRUE(presenter.Last().Text.contains(QStringLiteral("Plantio_Exc")))
        << qPrintable(presenter.Last().Text);
}

TEST_F(PlantioReportTest, ClosingDuringAnExportWaitsUntilTheFileIsWritten)
{
    Start();
    QPointer<TFCons_Base> screen = OpenChildForm<TFCons_PlantioCad>();
    const QString target = station.FilePath(QStringLiteral("relatorio.xlsx"));
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
    EXPECT_EQ(presenter.Texts(), QStringList{QStringLiteral("Arquivo ") + target +
                                             QStringLiteral(" exportado com sucesso.")});
    EXPECT_TRUE(ReadXlsx(target).Ok);
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
    EXPECT_EQ(presenter.Texts(), QStringList{QStringLiteral("Banco de dados não Conectado.")});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(FindChildForm("TFCons_PlantioResumo"), nullptr);
}

} // namespace
