#include "data/txconnection.h"
#include "data/txquery.h"
#include "eancode.h"
#include "logindriver.h"
#include "shellfixture.h"
#include "tflogin.h"
#include "tfplantio_cad.h"
#include "txcombobox.h"
#include "txdbgrid.h"
#include "txedit.h"
#include "txradiogroup.h"

#include <QKeyEvent>
#include <QPointer>
#include <QRadioButton>
#include <QToolButton>

namespace {

const QString kNow = QStringLiteral("2024-05-06 07:08:09");
const QString kTransmitted =
    QStringLiteral("Informação já transmitido ao Servidor, não pode ser excluído.");

// The EAN-13 code of a stored number.
QString Ncc(qint64 n)
{
    return EanCode(n, BarcodeType::Ean13);
}

// Plants (NCC without check digit), their NC and REP.
constexpr qint64 kPlantA = 100000000001;
constexpr qint64 kPlantB = 100000000002;
constexpr qint64 kPlantC = 100000000003;
constexpr qint64 kPlanted = 100000000009;
constexpr qint64 kUsedNcp = 200000000009;

class PlantioScreenTest : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        station.Exec(QStringLiteral(
            "UPDATE Configuracao SET RELA_INICIAL = 200000000000, RELA_FINAL = 299999999999"));
        station.WriteConnectionFile();
        Start();
        auto connection = station.Open();
        operatorId = AddUser(connection.get(), QStringLiteral("OPER"), QStringLiteral("Operador"),
                             QStringLiteral("1234"));
        chiefId = AddUser(connection.get(), QStringLiteral("CHEFE"), QStringLiteral("Chefe"),
                          QStringLiteral("4321"));
        InsertLote(connection.get(), 1, QStringLiteral("LOTE UM"), 3);
        InsertLote(connection.get(), 2, QStringLiteral("A-B"), 1);
        InsertLote(connection.get(), 3, QStringLiteral("VAZIO"), 0);
        InsertPlanta(connection.get(), kPlantA, 5001, 2);
        InsertPlanta(connection.get(), kPlantB, 5002, 1);
        InsertPlanta(connection.get(), kPlantC, 5003, 4);
        InsertPlanta(connection.get(), kPlanted, 5009, 3);
        InsertPlantio(connection.get(),
                      {1, kUsedNcp, kPlanted, 9, QStringLiteral("2024-01-01 10:00:00"),
                       QStringLiteral("MAQ02")});
        SetNowSource(
            [] { return QDateTime::fromString(kNow, QStringLiteral("yyyy-MM-dd HH:mm:ss")); });
        presenter.Clear();
    }

    void TearDown() override
    {
        SetNowSource({});
        ShellTest::TearDown();
    }

    TAppConfig& Config() { return *mainForm->AppConfig; }

    /** Opens the screen with the operator's login and makes its window the active one. */
    TFPlantio_Cad* Open()
    {
        DriveLogin({Type(QStringLiteral("OPER"), QStringLiteral("1234"))});
        auto* screen = OpenChildForm<TFPlantio_Cad>();
        QApplication::setActiveWindow(mainForm.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(mainForm.get()));
        return screen;
    }

    static void ChooseLote(TFPlantio_Cad* screen, int index)
    {
        screen->lote->setCurrentIndex(index);
        emit screen->lote->activated(index);
    }

    static void Scan(TXEdit* edit, const QString& code)
    {
        QTest::keyClicks(edit, code);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    static QWidget* Focus() { return QApplication::focusWidget(); }

    QString Plantio(const QString& columns, const QString& where) const
    {
        return station.Scalar(QStringLiteral("SELECT ") + columns +
                              QStringLiteral(" FROM Plantio WHERE ") + where);
    }
    int Rows(const QString& table) const
    {
        auto connection = station.Open();
        return CountRows(connection.get(), table);
    }

    /** Chooses an operation with the switch: unlock, pick, apply. */
    static void SetOperation(TFPlantio_Cad* screen, int item)
    {
        screen->BSetOper->click();
        screen->RGOper->Button(item)->click();
        screen->BSetOper->click();
    }

    int operatorId = 0;
    int chiefId = 0;
};

TEST_F(PlantioScreenTest, ScanningCycle)
{
    TFPlantio_Cad* screen = Open();
    ChooseLote(screen, 0);
    EXPECT_EQ(screen->PN_Lote_Falta->text(), QStringLiteral("2")); // 3 minus the one planted
    EXPECT_EQ(screen->LReg->text(), QStringLiteral("Registros: 1"));

    screen->NCC_LIDO->setFocus();
    Scan(screen->NCC_LIDO, Ncc(kPlantA));
    EXPECT_EQ(screen->nc_rep->text(), QStringLiteral("5001 - 2"));
    EXPECT_EQ(Focus(), screen->NCP_LIDO);
    Scan(screen->NCP_LIDO, Ncc(200000000001));

    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join('|').toStdString();
    EXPECT_EQ(Plantio(QStringLiteral("id_slote || '|' || ncc || '|' || id_user || '|' || "
                                     "data_plantio || '|' || coalesce(origem_plantio, 'null')"),
                      QStringLiteral("nc_plantio = 200000000001")),
              QStringLiteral("1|100000000001.0|%1|%2|null").arg(operatorId).arg(kNow));
    EXPECT_EQ(screen->LReg->text(), QStringLiteral("Registros: 2"));
    EXPECT_EQ(screen->PN_Lote_Falta->text(), QStringLiteral("1"));
    EXPECT_TRUE(screen->NCC_LIDO->text().isEmpty() && screen->nc_rep->text().isEmpty() &&
                screen->NCP_LIDO->text().isEmpty());
    EXPECT_EQ(Focus(), screen->NCC_LIDO);
    // Newest first.
    screen->QGrid->First();
    EXPECT_EQ(screen->QGrid->FieldByName(QStringLiteral("nc_plantio")).AsString(),
              QStringLiteral("200000000001"));

    // EAN-8 codes with the trailing blank the check lets through: the blank is not the
    // check digit.
    InsertPlanta(station.Open().get(), 1234567, 5007, 1);
    Config().cb_ncc = 0;
    Config().cb_nc_plantio = 0;
    Config().rela_inicial = 0;
    Scan(screen->NCC_LIDO, QStringLiteral("12345670 "));
    Scan(screen->NCP_LIDO, QStringLiteral("76543210 "));
    EXPECT_EQ(presenter.Take(),
              QStringList{QStringLiteral("O Lote está completo com as linhagens.")});
    EXPECT_EQ(Plantio(QStringLiteral("nc_plantio"), QStringLiteral("ncc = 1234567")),
              QStringLiteral("7654321"));
}

TEST_F(PlantioScreenTest, RejectedScans)
{
    TFPlantio_Cad* screen = Open();
    ChooseLote(screen, 0);
    const struct
    {
        const char* name;
        QString ncc;
        QString ncp;
        QString alert;
        bool ncpFocus; // where the focus is after the rejection
    } cases[] = {
        {"unknown plant", Ncc(100000000077), QString(),
         QStringLiteral("O NCC [100000000077] não está cadastrado \r\n e/ou já foi cadastrado em "
                        "plantio de lotes anteriores."),
         false},
        {"plant already planted", Ncc(kPlanted), QString(),
         QStringLiteral("NCC já foi coletado. \r\n NC Plantio : 200000000009\r\n Sub-Lote: LOTE "
                        "UM\r\n Máquina utilizada: MAQ02\r\n Data: 2024-01-01 10:00:00"),
         false},
        {"NC Plantio out of range", Ncc(kPlantA), Ncc(300000000001),
         QStringLiteral(" NC [300.000.000.001] fora da faixa válida. \r\n O Valor do NC Plantio "
                        "deve  estar entre [200.000.000.000] e [299.999.999.999]."),
         true},
        {"NC Plantio already used", Ncc(kPlantA), Ncc(kUsedNcp),
         QStringLiteral("NC Plantio duplicado. \r\n NCC : 100000000009\r\n NC : 5009\r\n Rep : "
                        "3\r\n Máquina utilizada: MAQ02\r\n Data: 2024-01-01 10:00:00"),
         true},
        {"NC Plantio wrong check digit", Ncc(kPlantA), QStringLiteral("2000000000011"),
         QStringLiteral("Dígito Verificador EAN13 não confere (1)."), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        screen->ClearLidos();
        screen->NCC_LIDO->setFocus();
        presenter.Clear();
        Scan(screen->NCC_LIDO, c.ncc);
        if (!c.ncp.isEmpty()) {
            ASSERT_EQ(Focus(), screen->NCP_LIDO);
            Scan(screen->NCP_LIDO, c.ncp);
        }
        EXPECT_EQ(presenter.Take(), QStringList{c.alert});
        QWidget* expected = c.ncpFocus ? screen->NCP_LIDO : screen->NCC_LIDO;
        EXPECT_EQ(Focus(), expected);
        EXPECT_EQ(static_cast<TXEdit*>(expected)->selectedText(),
                  static_cast<TXEdit*>(expected)->text());
        EXPECT_EQ(Rows(QStringLiteral("Plantio")), 1);
    }
}

TEST_F(PlantioScreenTest, EmptyFieldsAndMissingSubBatch)
{
    TFPlantio_Cad* screen = Open();
    // Enter on an empty NCC alerts but lets the focus move on...
    screen->NCC_LIDO->setFocus();
    ChooseLote(screen, 0);
    screen->NCC_LIDO->setFocus();
    QTest::keyClick(screen->NCC_LIDO, Qt::Key_Return);
    EXPECT_EQ(presenter.Take(), QStringList{QStringLiteral("NCC deve ser informado.")});
    EXPECT_EQ(Focus(), screen->NCP_LIDO);
    // ...and the confirm takes it back.
    QTest::keyClick(screen->NCP_LIDO, Qt::Key_Return);
    EXPECT_EQ(presenter.Take(), QStringList{QStringLiteral("NCC deve ser informado.")});
    EXPECT_EQ(Focus(), screen->NCC_LIDO);

    // An empty NC Plantio is refused on confirm, with the focus on it.
    Scan(screen->NCC_LIDO, Ncc(kPlantA));
    QTest::keyClick(screen->NCP_LIDO, Qt::Key_Return);
    EXPECT_EQ(presenter.Take(), QStringList{QStringLiteral("NC Plantio deve ser informado.")});
    EXPECT_EQ(Focus(), screen->NCP_LIDO);

    // Without a sub-batch the confirm stops at the first check.
    screen->ClearLote();
    screen->NCP_LIDO->setText(Ncc(200000000001));
    QTest::keyClick(screen->NCP_LIDO, Qt::Key_Return);
    EXPECT_EQ(presenter.Take(), QStringList{QStringLiteral("LOTE deve ser informado.")});
    EXPECT_EQ(Rows(QStringLiteral("Plantio")), 1);
}

TEST_F(PlantioScreenTest, CompletionAlertOnlyWhenAnInclusionLeavesZero)
{
    TFPlantio_Cad* screen = Open();
    // "02 - A-B" holds one plant: its id is 2 despite the dash in the name.
    ChooseLote(screen, 1);
    EXPECT_EQ(screen->SelectedLoteId(), 2);
    EXPECT_EQ(screen->PN_Lote_Falta->text(), QStringLiteral("1"));
    screen->NCC_LIDO->setFocus();
    Scan(screen->NCC_LIDO, Ncc(kPlantA));
    Scan(screen->NCP_LIDO, Ncc(200000000001));
    EXPECT_EQ(presenter.Take(),
              QStringList{QStringLiteral("O Lote está completo com as linhagens.")});
    EXPECT_EQ(Plantio(QStringLiteral("id_slote"), QStringLiteral("ncc = 100000000001")),
              QStringLiteral("2"));
    EXPECT_EQ(screen->lote->currentIndex(), -1);
    EXPECT_EQ(screen->PN_Lote_Falta->text(), QStringLiteral("0"));

    // A sub-batch already complete shows 0 without an alert and still takes plantings.
    ChooseLote(screen, 2);
    EXPECT_EQ(screen->PN_Lote_Falta->text(), QStringLiteral("0"));
    EXPECT_EQ(presenter.Count(), 0);
    screen->NCC_LIDO->setFocus();
    presenter.Clear(); // leaving the empty NC Plantio alerts
    Scan(screen->NCC_LIDO, Ncc(kPlantB));
    Scan(screen->NCP_LIDO, Ncc(200000000002));
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join('|').toStdString();
    // Over-planted: -1 remaining, which the panel shows as "0" like an error.
    EXPECT_EQ(screen->PN_Lote_Falta->text(), QStringLiteral("0"));
    EXPECT_EQ(screen->lote->currentIndex(), 2);
    EXPECT_EQ(Focus(), screen->NCC_LIDO);
}

TEST_F(PlantioScreenTest, EnterConfirmsWhileAnOperationIsBeingChosen)
{
    TFPlantio_Cad* screen = Open();
    ChooseLote(screen, 0);
    screen->NCC_LIDO->setFocus();
    Scan(screen->NCC_LIDO, Ncc(kPlantC));
    screen->BSetOper->click();
    EXPECT_FALSE(screen->BConfirm->isEnabled());
    screen->RGOper->Button(2)->click(); // chosen, not applied
    Scan(screen->NCP_LIDO, Ncc(200000000003));
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join('|').toStdString();
    EXPECT_EQ(Plantio(QStringLiteral("count(*)"), QStringLiteral("ncc = 100000000003")),
              QStringLiteral("1"));
    screen->BSetOper->click();
    EXPECT_TRUE(screen->BConfirm->isEnabled());
}

TEST_F(PlantioScreenTest, CodeStoredByAnotherWriterBetweenCheckAndWriteIsNotStoredTwice)
{
    TFPlantio_Cad* screen = Open();
    ChooseLote(screen, 0);
    const struct
    {
        const char* name;
        qint64 ncc, ncp;           // scanned
        qint64 otherNcc, otherNcp; // stored by the other writer
        QString alert;
        bool ncpFocus;
    } cases[] = {
        {"plant planted meanwhile", kPlantA, 200000000001, kPlantA, 200000000005,
         QStringLiteral("NCC já foi coletado. \r\n NC Plantio : 200000000005\r\n Sub-Lote: LOTE "
                        "UM\r\n Máquina utilizada: MAQ03\r\n Data: 2024-03-03 03:03:03"),
         false},
        {"NC Plantio used meanwhile", kPlantC, 200000000002, kPlantB, 200000000002,
         QStringLiteral("NC Plantio duplicado. \r\n NCC : 100000000002\r\n NC : 5002\r\n Rep : "
                        "1\r\n Máquina utilizada: MAQ03\r\n Data: 2024-03-03 03:03:03"),
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The write reads the clock after the checks: the other writer comes in there.
        SetNowSource([&] {
            InsertPlantio(station.Open().get(),
                          {1, c.otherNcp, c.otherNcc, chiefId,
                           QStringLiteral("2024-03-03 03:03:03"), QStringLiteral("MAQ03")});
            return QDateTime::fromString(kNow, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        });
        screen->NCC_LIDO->setFocus();
        Scan(screen->NCC_LIDO, Ncc(c.ncc));
        Scan(screen->NCP_LIDO, Ncc(c.ncp));
        SetNowSource({});
        EXPECT_EQ(presenter.Take(), QStringList{c.alert});
        EXPECT_EQ(Focus(), c.ncpFocus ? screen->NCP_LIDO : screen->NCC_LIDO);
        EXPECT_EQ(
            Plantio(QStringLiteral("count(*)"), QStringLiteral("id_user = %1").arg(operatorId)),
            QStringLiteral("0"));
        screen->ClearLidos();
    }
    EXPECT_EQ(screen->LReg->text(), QStringLiteral("Registros: 3"));
}

TEST_F(PlantioScreenTest, DatabaseErrors)
{
    TFPlantio_Cad* screen = Open();
    ChooseLote(screen, 0);
    station.Exec(QStringLiteral("CREATE TRIGGER recusa BEFORE INSERT ON Plantio "
                                "BEGIN SELECT RAISE(ABORT, 'inclusao recusada'); END"));
    screen->NCC_LIDO->setFocus();
    Scan(screen->NCC_LIDO, Ncc(kPlantA));
    Scan(screen->NCP_LIDO, Ncc(200000000001));
    ASSERT_EQ(presenter.Count(), 1);
    EXPECT_TRUE(presenter.Last().Text.startsWith(
        QStringLiteral("Erro ao Incluir o plantio.\r\nMsg. Erro : ")));
    EXPECT_TRUE(presenter.Last().Text.contains(QStringLiteral("inclusao recusada")));
    EXPECT_TRUE(screen->NCC_LIDO->text().isEmpty());
    EXPECT_EQ(Rows(QStringLiteral("Plantio")), 1);

    // Errors of the Enter key and of the opening are shown by the screen, not raised through
    // Qt's event delivery.
    station.Exec(QStringLiteral("ALTER TABLE Planta RENAME TO Planta_Fora"));
    station.Exec(QStringLiteral("ALTER TABLE Lote RENAME TO Lote_Fora"));
    screen->NCC_LIDO->setText(Ncc(kPlantB));
    screen->NCP_LIDO->setText(Ncc(200000000002));
    presenter.Clear();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    EXPECT_NO_THROW(static_cast<QObject*>(screen)->eventFilter(screen->NCP_LIDO, &enter));
    EXPECT_EQ(presenter.Count(), 1);
    EXPECT_FALSE(screen->Confirming);
    TFPlantio_Cad opening;
    DriveLogin({Type(QStringLiteral("OPER"), QStringLiteral("1234"))});
    presenter.Clear();
    QShowEvent show;
    EXPECT_NO_THROW(static_cast<QObject*>(&opening)->event(&show));
    EXPECT_EQ(presenter.Count(), 1);

    // The duplicate lookup fails closed.
    presenter.Clear();
    DM->Conn->Close();
    EXPECT_FALSE(screen->Valid_NCP(200000000005));
    ASSERT_EQ(presenter.Count(), 1);
    EXPECT_TRUE(presenter.Last().Text.startsWith(
        QStringLiteral("Erro ao consultar os dados (Valid_NCP).\r\nMsg. Erro : ")));
}

class PlantioDeletionTest : public PlantioScreenTest
{
protected:
    void SetUp() override
    {
        PlantioScreenTest::SetUp();
        auto connection = station.Open();
        // Two plantings of plant A (the key allows it), one with a quote in its time text.
        InsertPlantio(connection.get(), {1, 200000000001, kPlantA, operatorId,
                                         QStringLiteral("2024-02-01 10:00'00"), QString()});
        InsertPlantio(connection.get(), {1, 200000000002, kPlantA, operatorId,
                                         QStringLiteral("2024-02-02 10:00:00"), QString()});
        screen = Open();
        SetOperation(screen, 1);
        ChooseLote(screen, 0);
        presenter.Clear();
    }

    /** Selects the grid row showing that NC Plantio. */
    void SelectRow(qint64 ncPlantio)
    {
        for (int rec = 1; rec <= screen->QGrid->RecordCount(); ++rec) {
            screen->GCad->SetCurrentRecNo(rec);
            if (screen->QGrid->FieldByName(QStringLiteral("nc_plantio")).AsLargeInt() == ncPlantio)
                return;
        }
        ADD_FAILURE() << "no row " << ncPlantio;
    }

    TFPlantio_Cad* screen = nullptr;
};

TEST_F(PlantioDeletionTest, ModeAndRefusals)
{
    EXPECT_EQ(screen->OperationMode, 4);

    // A transmitted planting is refused before any question.
    SelectRow(kUsedNcp);
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Take(), QStringList{kTransmitted});

    // No: nothing changes, no login asked.
    SelectRow(200000000002);
    presenter.QueueAnswer(TXMessageButton::No);
    screen->BConfirm->click();
    ASSERT_EQ(presenter.Count(), 1);
    EXPECT_EQ(presenter.Last().DefaultButton, TXMessageButton::No);
    EXPECT_TRUE(presenter.Last().Text.endsWith(QStringLiteral("NC_Plantio: 200000000002")));

    // Yes, then the authorising login closed: nothing changes.
    bool asked = false;
    DriveLogin({[&](TFLogin* dialog) { asked = dialog->DeleteMode; }});
    presenter.QueueAnswer(TXMessageButton::Yes);
    screen->BConfirm->click();
    EXPECT_TRUE(asked);
    EXPECT_EQ(Rows(QStringLiteral("Plantio")), 3);
    EXPECT_EQ(Rows(QStringLiteral("Plantio_Exc")), 0);

    // An empty grid has nothing to delete.
    presenter.Clear();
    ChooseLote(screen, 2);
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Take(),
              QStringList{QStringLiteral("Deve-se selecionar o lançamento a ser excluído.")});
}

TEST_F(PlantioDeletionTest, ConfirmedDeletionArchivesExactlyTheSelectedRow)
{
    SelectRow(200000000001);
    presenter.QueueAnswer(TXMessageButton::Yes);
    DriveLogin({Type(QStringLiteral("CHEFE"), QStringLiteral("4321"))});
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Count(), 1) << presenter.Texts().join('|').toStdString();
    EXPECT_EQ(Rows(QStringLiteral("Plantio_Exc")), 1);
    EXPECT_EQ(station.Scalar(QStringLiteral(
                  "SELECT id_slote || '|' || nc_plantio || '|' || ncc || '|' || id_user || '|' || "
                  "data_plantio || '|' || coalesce(origem_plantio, 'null') || '|' || "
                  "user_plantio_exc || '|' || data_plantio_exc FROM Plantio_Exc")),
              QStringLiteral("1|200000000001.0|100000000001.0|%1|2024-02-01 10:00'00|null|%2|%3")
                  .arg(operatorId)
                  .arg(chiefId)
                  .arg(kNow));
    // The other planting of the same plant stays.
    EXPECT_EQ(
        Plantio(QStringLiteral("group_concat(nc_plantio)"), QStringLiteral("ncc = 100000000001")),
        QStringLiteral("200000000002.0"));
    EXPECT_EQ(screen->LReg->text(), QStringLiteral("Registros: 2"));
    EXPECT_EQ(Config().OperatorId, operatorId);
}

TEST_F(PlantioDeletionTest, FailedCopyOrDeleteLeavesBothTablesAndNoLockBehindTheBox)
{
    const struct
    {
        const char* trigger;
        const char* alert;
    } cases[] = {
        {"CREATE TRIGGER recusa BEFORE INSERT ON Plantio_Exc "
         "BEGIN SELECT RAISE(ABORT, 'copia recusada'); END",
         "Erro ao Excluir dados (Copy_Reg_Exc): copia recusada"},
        {"CREATE TRIGGER recusa BEFORE DELETE ON Plantio "
         "BEGIN SELECT RAISE(ABORT, 'exclusao recusada'); END",
         "Erro ao Excluir o plantio.\r\nMsg. Erro : exclusao recusada"},
        // The engine rolls the transaction back by itself, as on a full disk.
        {"CREATE TRIGGER recusa BEFORE INSERT ON Plantio_Exc "
         "BEGIN SELECT RAISE(ROLLBACK, 'disco cheio'); END",
         "Erro ao Excluir dados (Copy_Reg_Exc): disco cheio"},
    };
    for (const auto& c : cases) {
        station.Exec(QString::fromLatin1(c.trigger));
        SelectRow(200000000002);
        presenter.Clear();
        bool lockedUnderBox = false;
        presenter.OnPresent = [&](const TXMessageRequest&) {
            lockedUnderBox = lockedUnderBox || DM->Conn->InTransaction();
        };
        presenter.QueueAnswer(TXMessageButton::Yes);
        DriveLogin({Type(QStringLiteral("CHEFE"), QStringLiteral("4321"))});
        screen->BConfirm->click();
        presenter.OnPresent = nullptr;
        ASSERT_EQ(presenter.Count(), 2) << c.trigger;
        EXPECT_EQ(presenter.Last().Text, QString::fromUtf8(c.alert));
        EXPECT_FALSE(lockedUnderBox) << c.trigger;
        EXPECT_EQ(Rows(QStringLiteral("Plantio_Exc")), 0);
        EXPECT_EQ(Rows(QStringLiteral("Plantio")), 3);
        station.Exec(QStringLiteral("DROP TRIGGER recusa"));
    }
}

TEST_F(PlantioDeletionTest, RowTransmittedMeanwhileIsLeftAlone)
{
    SelectRow(200000000002);
    station.Exec(QStringLiteral(
        "UPDATE Plantio SET origem_plantio = 'SRV01' WHERE nc_plantio = 200000000002"));
    presenter.QueueAnswer(TXMessageButton::Yes);
    DriveLogin({Type(QStringLiteral("CHEFE"), QStringLiteral("4321"))});
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Last().Text, kTransmitted);
    EXPECT_EQ(Rows(QStringLiteral("Plantio_Exc")), 0);
    EXPECT_EQ(Rows(QStringLiteral("Plantio")), 3);
    EXPECT_FALSE(DM->Conn->InTransaction());
}

TEST_F(PlantioDeletionTest, Filter)
{
    SetOperation(screen, 2);
    EXPECT_EQ(screen->OperationMode, 5);
    // No sub-batch: nothing matches.
    QTest::keyClick(screen->NCP_LIDO, Qt::Key_Return);
    EXPECT_EQ(screen->LReg->text(), QStringLiteral("Registros: 0"));

    ChooseLote(screen, 0);
    const struct
    {
        const char* name;
        QString ncc;
        QString ncp;
        int rows;
        int alerts;
    } cases[] = {
        {"both empty", QString(), QString(), 3, 0},
        {"both", Ncc(kPlantA), Ncc(200000000001), 1, 0},
        {"invalid NC Plantio drops the NCC condition", Ncc(kPlanted),
         QStringLiteral("2000000000011"), 3, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        presenter.Clear();
        screen->NCC_LIDO->setFocus();
        screen->ClearLidos();
        Scan(screen->NCC_LIDO, c.ncc);
        EXPECT_EQ(Focus(), screen->NCP_LIDO);
        Scan(screen->NCP_LIDO, c.ncp);
        EXPECT_EQ(screen->QGrid->RecordCount(), c.rows);
        EXPECT_EQ(presenter.Count(), c.alerts) << presenter.Texts().join('|').toStdString();
    }
    SetOperation(screen, 0);
    EXPECT_EQ(screen->OperationMode, 1);
}

TEST_F(PlantioScreenTest, OpensLoggedInClosingLogsOutAndReopeningAsksAgain)
{
    QPointer<TFPlantio_Cad> screen = Open();
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->USUA->text(), QStringLiteral("OPERADOR"));
    EXPECT_EQ(Config().OperatorId, operatorId);
    EXPECT_EQ(screen->OperationMode, 1);
    // No sub-batch: the grid compares with -1 and the counter shows 0.
    EXPECT_EQ(screen->lote->currentIndex(), -1);
    EXPECT_EQ(screen->LReg->text(), QStringLiteral("Registros: 0"));
    EXPECT_EQ(Focus(), screen->lote);
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join('|').toStdString();
    screen->BClose->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen.isNull(); }, 2000));
    EXPECT_EQ(Config().OperatorId, -1);

    bool asked = false;
    DriveLogin({[&](TFLogin*) { asked = true; }});
    screen = OpenChildForm<TFPlantio_Cad>();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen.isNull(); }, 2000));

    // Without a loaded configuration the screen refuses to open.
    Config().Loaded = false;
    presenter.Clear();
    screen = OpenChildForm<TFPlantio_Cad>();
    EXPECT_EQ(presenter.Take(), QStringList{QStringLiteral("Banco de dados não Conectado.")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen.isNull(); }, 2000));
}

} // namespace
