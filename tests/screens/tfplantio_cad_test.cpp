#include "data/txconnection.h"
#include "data/txquery.h"
#include "eancode.h"
#include "logindriver.h"
#include "shellfixture.h"
#include "tflogin.h"
#include "tfplantio_cad.h"
#include "tscanfeedback.h"
#include "txcombobox.h"
#include "txdbgrid.h"
#include "txedit.h"
#include "txradiogroup.h"

#include <QKeyEvent>
#include <QPointer>
#include <QRadioButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QString kNow = u"2024-05-06 07:08:09"_s;
const QString kTransmitted = u"Informação já transmitido ao Servidor, não pode ser excluído."_s;

// Plants (NCC without check digit), their NC and REP.
constexpr qint64 kPlantA = 100000000001;
constexpr qint64 kPlantB = 100000000002;
constexpr qint64 kPlanted = 100000000009;
constexpr qint64 kPlantC = 100000000003;
constexpr qint64 kUsedNcp = 200000000009;

class PlantioScreenTest : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        station.Exec(
            u"UPDATE Configuracao SET RELA_INICIAL = 200000000000, RELA_FINAL = 299999999999"_s);
        station.WriteConnectionFile();
        Start();
        auto db = station.Open();
        operatorId = AddUser(db.get(), u"OPER"_s, u"Operador"_s, u"1234"_s);
        chiefId = AddUser(db.get(), u"CHEFE"_s, u"Chefe"_s, u"4321"_s);
        InsertLote(db.get(), 1, u"LOTE UM"_s, 3);
        InsertLote(db.get(), 2, u"VAZIO"_s, 0);
        InsertPlanta(db.get(), kPlantA, 5001, 2);
        InsertPlanta(db.get(), kPlantB, 5002, 1);
        InsertPlanta(db.get(), kPlantC, 5003, 4);
        InsertPlanta(db.get(), kPlanted, 5009, 3);
        InsertPlantio(db.get(), {1, kUsedNcp, kPlanted, 9, u"2024-01-01 10:00:00"_s, u"MAQ02"_s});
        SetNowSource([] { return QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)); });
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
        DriveLogin({Type(u"OPER"_s, u"1234"_s)});
        screen = OpenChildForm<TFPlantio_Cad>();
        QApplication::setActiveWindow(mainForm.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(mainForm.get()));
        return screen;
    }

    void ChooseLote(int index)
    {
        screen->lote->setCurrentIndex(index);
        emit screen->lote->activated(index);
    }

    static void Scan(TXEdit* edit, const QString& code, QWidget* target = nullptr)
    {
        QWidget* to = target ? target : edit;
        QTest::keyClicks(to, code);
        QTest::keyClick(to, Qt::Key_Return);
    }
    static QString Ncc(qint64 n) { return EanCode(n, BarcodeType::Ean13); }
    /** Scans a plant and a NC Plantio, from the NCC field. */
    void Plant(qint64 ncc, qint64 ncp)
    {
        screen->NCC_LIDO->setFocus();
        Scan(screen->NCC_LIDO, Ncc(ncc));
        Scan(screen->NCP_LIDO, Ncc(ncp));
    }

    static QWidget* Focus() { return QApplication::focusWidget(); }

    QString Plantio(const QString& columns, const QString& where) const
    {
        return station.Scalar(u"SELECT %1 FROM Plantio WHERE %2"_s.arg(columns, where));
    }
    int Rows(const QString& table) const { return CountRows(station.Open().get(), table); }

    /** Chooses an operation with the switch: unlock, pick, apply. */
    void SetOperation(int item)
    {
        screen->BSetOper->click();
        screen->RGOper->Button(item)->click();
        screen->BSetOper->click();
    }

    TFPlantio_Cad* screen = nullptr;
    int operatorId = 0;
    int chiefId = 0;
};

TEST_F(PlantioScreenTest, OpensLoggedInClosingLogsOutAndReopeningAsksAgain)
{
    QPointer<TFPlantio_Cad> opened = Open();
    EXPECT_EQ(opened->USUA->text(), u"OPERADOR"_s); // upper case, as read
    EXPECT_EQ(Config().OperatorId, operatorId);
    opened->BClose->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened.isNull(); }, 2000));
    EXPECT_EQ(Config().OperatorId, -1);

    bool asked = false;
    DriveLogin({[&](TFLogin*) { asked = true; }});
    opened = OpenChildForm<TFPlantio_Cad>();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened.isNull(); }, 2000));

    // Without a loaded configuration the screen refuses to open.
    Config().Loaded = false;
    opened = OpenChildForm<TFPlantio_Cad>();
    EXPECT_EQ(presenter.Take(), QStringList{u"Banco de dados não Conectado."_s});
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened.isNull(); }, 2000));
}

TEST_F(PlantioScreenTest, ScanningCycle)
{
    Open();
    ChooseLote(0);
    screen->NCC_LIDO->setFocus();
    Scan(screen->NCC_LIDO, Ncc(kPlantA));
    EXPECT_EQ(screen->nc_rep->text(), u"5001 - 2"_s);
    // Enter confirms the applied operation while the next one is being chosen.
    screen->BSetOper->click();
    screen->RGOper->Button(2)->click();
    Scan(screen->NCP_LIDO, Ncc(200000000001));
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join('|').toStdString();
    EXPECT_EQ(Plantio(u"id_slote || '|' || ncc || '|' || id_user || '|' || data_plantio || '|' "
                      "|| coalesce(origem_plantio, 'null')"_s,
                      u"nc_plantio = 200000000001"_s),
              u"1|100000000001.0|%1|%2|null"_s.arg(operatorId).arg(kNow));
    EXPECT_EQ(screen->PN_Lote_Falta->text(), u"1"_s); // 3 minus the two planted
    screen->QGrid->First();                           // newest first
    EXPECT_EQ(screen->QGrid->FieldByName(u"nc_plantio"_s).AsString(), u"200000000001"_s);
    EXPECT_EQ(screen->LReg->text(), u"Registros: 2"_s);
    EXPECT_EQ(screen->GCad->CurrentRecNo(), 1); // the new row
    screen->RGOper->Button(0)->click();
    screen->BSetOper->click();
    presenter.Clear();

    // A sub-batch already complete shows 0 without an alert and still takes plantings;
    // over-planted (-1 remaining) it shows "0" like an error and stays chosen.
    ChooseLote(1);
    EXPECT_EQ(screen->PN_Lote_Falta->text(), u"0"_s);
    Plant(kPlantB, 200000000002);
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join('|').toStdString();
    EXPECT_EQ(Plantio(u"id_slote"_s, u"ncc = 100000000002"_s), u"2"_s);
    EXPECT_EQ(screen->PN_Lote_Falta->text(), u"0"_s);
    EXPECT_EQ(screen->lote->currentIndex(), 1);

    // EAN-8 codes with the trailing blank the check lets through: the blank is not the
    // check digit. The sub-batch's last place alerts and clears the sub-batch.
    ChooseLote(0);
    InsertPlanta(station.Open().get(), 1234567, 5007, 1);
    Config().cb_ncc = 0;
    Config().cb_nc_plantio = 0;
    Config().rela_inicial = 0;
    Scan(screen->NCC_LIDO, u"12345670 "_s);
    Scan(screen->NCP_LIDO, u"76543210 "_s);
    EXPECT_EQ(presenter.Take(), QStringList{u"O Lote está completo com as linhagens."_s});
    EXPECT_EQ(Plantio(u"nc_plantio"_s, u"ncc = 1234567"_s), u"7654321"_s);
    EXPECT_EQ(screen->lote->currentIndex(), -1);
}

TEST_F(PlantioScreenTest, APlantingStoredLaterThanTheScanStaysAboveIt)
{
    Open();
    ChooseLote(0);
    // Written meanwhile with a later time (another computer's clock): the grid is read again.
    InsertPlantio(station.Open().get(),
                  {1, 200000000005, kPlantC, operatorId, u"2030-01-01 00:00:00"_s, QString()});
    Plant(kPlantA, 200000000001);
    // Its place is counted too: the sub-batch's three are planted.
    EXPECT_EQ(presenter.Take(), QStringList{u"O Lote está completo com as linhagens."_s});
    EXPECT_EQ(screen->LReg->text(), u"Registros: 3"_s);
    screen->QGrid->First();
    EXPECT_EQ(screen->QGrid->FieldByName(u"nc_plantio"_s).AsString(), u"200000000005"_s);
}

TEST_F(PlantioScreenTest, RejectedScansAndEmptyFields)
{
    Open();
    ChooseLote(0);
    // One case per alert path; the code rules themselves are unit-tested, the already
    // planted plant and the duplicate NC Plantio with the other writer.
    const std::tuple<QString, QString, QString> cases[] = {
        {Ncc(100000000077), QString(),
         u"O NCC [100000000077] não está cadastrado \r\n e/ou já foi cadastrado em plantio de "
         "lotes anteriores."_s},
        {Ncc(kPlantA), Ncc(300000000001),
         u" NC [300.000.000.001] fora da faixa válida. \r\n O Valor do NC Plantio deve  estar "
         "entre [200.000.000.000] e [299.999.999.999]."_s},
        {Ncc(kPlantA), u"2000000000011"_s, u"Dígito Verificador EAN13 não confere (1)."_s},
    };
    for (const auto& [ncc, ncp, alert] : cases) {
        screen->ClearLidos();
        screen->NCC_LIDO->setFocus();
        presenter.Clear();
        Scan(screen->NCC_LIDO, ncc);
        if (!ncp.isEmpty())
            Scan(screen->NCP_LIDO, ncp);
        EXPECT_EQ(presenter.Take(), QStringList{alert});
        TXEdit* refused = ncp.isEmpty() ? screen->NCC_LIDO : screen->NCP_LIDO;
        EXPECT_EQ(Focus(), refused);
        EXPECT_EQ(refused->selectedText(), refused->text());
    }

    // Enter on an empty NCC alerts but lets the focus move on...
    screen->ClearLidos();
    screen->NCC_LIDO->setFocus();
    presenter.Clear();
    QTest::keyClick(screen->NCC_LIDO, Qt::Key_Return);
    EXPECT_EQ(presenter.Take(), QStringList{u"NCC deve ser informado."_s});
    EXPECT_EQ(Focus(), screen->NCP_LIDO);
    // ...and the confirm takes it back.
    QTest::keyClick(screen->NCP_LIDO, Qt::Key_Return);
    EXPECT_EQ(presenter.Take(), QStringList{u"NCC deve ser informado."_s});
    EXPECT_EQ(Focus(), screen->NCC_LIDO);

    // An empty NC Plantio is refused on confirm, with the focus on it.
    Scan(screen->NCC_LIDO, Ncc(kPlantA));
    QTest::keyClick(screen->NCP_LIDO, Qt::Key_Return);
    EXPECT_EQ(presenter.Take(), QStringList{u"NC Plantio deve ser informado."_s});
    EXPECT_EQ(Focus(), screen->NCP_LIDO);

    // Without a sub-batch the confirm stops at the first check.
    screen->ClearLote();
    screen->NCP_LIDO->setText(Ncc(200000000001));
    QTest::keyClick(screen->NCP_LIDO, Qt::Key_Return);
    EXPECT_EQ(presenter.Take(), QStringList{u"LOTE deve ser informado."_s});
    EXPECT_EQ(Rows(u"Plantio"_s), 1);
}

TEST_F(PlantioScreenTest, KeyboardPathsStatusLineAndFocusBanner)
{
    Open();
    // A scan into the sub-batch list never chooses one and is refused.
    screen->lote->setFocus();
    Scan(nullptr, u"20"_s, screen->lote);
    EXPECT_EQ(screen->lote->currentIndex(), -1);
    ASSERT_EQ(presenter.Count(), 1);
    EXPECT_TRUE(presenter.Take()[0].startsWith(u"Leitura na lista de sub-lotes, não registrada: 20."_s));
    // Chosen with the arrows and Enter, the next scan is an NCC.
    QTest::keyClick(screen->lote, Qt::Key_Down);
    EXPECT_EQ(Focus(), screen->lote);
    QTest::keyClick(screen->lote, Qt::Key_Return);
    EXPECT_EQ(Focus(), screen->NCC_LIDO);
    EXPECT_EQ(screen->lote->currentIndex(), 0);

    Plant(kPlantA, 200000000001);
    EXPECT_EQ(screen->Feedback()->Status()->text(),
              u"Gravado: NCC %1  →  NC Plantio %2"_s.arg(Ncc(kPlantA), Ncc(200000000001)));
    // The same label read twice would pair the plant with its own code.
    Scan(screen->NCC_LIDO, Ncc(kPlantB));
    Scan(screen->NCP_LIDO, Ncc(kPlantB));
    const QString twice = u"Este código é o NCC que acabou de ser lido, leia o NC Plantio."_s;
    EXPECT_EQ(presenter.Take(), QStringList{twice});
    EXPECT_EQ(screen->Feedback()->Status()->text(), twice);
    EXPECT_EQ(Rows(u"Plantio"_s), 2);

    // Another window takes the keys: the banner says so until the screen has them back.
    EXPECT_FALSE(screen->Feedback()->Banner()->isVisible());
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen->Feedback()->Banner()->isVisible(); }, 2000));
    QApplication::setActiveWindow(mainForm.get());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !screen->Feedback()->Banner()->isVisible(); }, 2000));

    // Leaving with an empty field by "Fechar" raises no alert.
    screen->ClearLidos();
    screen->NCC_LIDO->setFocus();
    presenter.Clear(); // the NC Plantio field was left for it
    QPointer<TFPlantio_Cad> closing = screen;
    screen->BClose->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return closing.isNull(); }, 2000));
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join('|').toStdString();
}

TEST_F(PlantioScreenTest, CodeStoredByAnotherWriterBetweenCheckAndWriteIsNotStoredTwice)
{
    Open();
    ChooseLote(0);
    // Scanned NCC and NC Plantio, what the other writer stores, the alert, the refused field.
    const std::tuple<qint64, qint64, qint64, qint64, QString, TXEdit*> cases[] = {
        {kPlantA, 200000000001, kPlantA, 200000000005,
         u"NCC já foi coletado. \r\n NC Plantio : 200000000005\r\n Sub-Lote: LOTE UM\r\n Máquina "
         "utilizada: MAQ03\r\n Data: 2024-03-03 03:03:03"_s,
         screen->NCC_LIDO},
        {kPlantC, 200000000002, kPlantB, 200000000002,
         u"NC Plantio duplicado. \r\n NCC : 100000000002\r\n NC : 5002\r\n Rep : 1\r\n Máquina "
         "utilizada: MAQ03\r\n Data: 2024-03-03 03:03:03"_s,
         screen->NCP_LIDO},
    };
    for (const auto& [ncc, ncp, otherNcc, otherNcp, alert, refused] : cases) {
        // The write reads the clock after the checks: the other writer comes in there.
        SetNowSource([&] {
            InsertPlantio(station.Open().get(),
                          {1, otherNcp, otherNcc, chiefId, u"2024-03-03 03:03:03"_s, u"MAQ03"_s});
            return QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9));
        });
        Plant(ncc, ncp);
        SetNowSource({});
        EXPECT_EQ(presenter.Take(), QStringList{alert});
        EXPECT_EQ(Focus(), refused);
        EXPECT_EQ(Plantio(u"count(*)"_s, u"id_user = %1"_s.arg(operatorId)), u"0"_s);
        screen->ClearLidos();
    }
}

TEST_F(PlantioScreenTest, DatabaseErrors)
{
    Open();
    ChooseLote(0);
    station.Exec(u"CREATE TRIGGER recusa BEFORE INSERT ON Plantio "
                 "BEGIN SELECT RAISE(ABORT, 'inclusao recusada'); END"_s);
    Plant(kPlantA, 200000000001);
    EXPECT_EQ(presenter.Take(),
              QStringList{u"Erro ao Incluir o plantio.\r\nMsg. Erro : inclusao recusada"_s});

    // Errors of the Enter key and of the opening are shown by the screen, not raised through
    // Qt's event delivery.
    station.Exec(u"ALTER TABLE Planta RENAME TO Planta_Fora"_s);
    station.Exec(u"ALTER TABLE Lote RENAME TO Lote_Fora"_s);
    screen->NCC_LIDO->setText(Ncc(kPlantB));
    screen->NCP_LIDO->setText(Ncc(200000000002));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    EXPECT_NO_THROW(static_cast<QObject*>(screen)->eventFilter(screen->NCP_LIDO, &enter));
    EXPECT_EQ(presenter.Take().size(), 1);
    EXPECT_FALSE(screen->Confirming);
    TFPlantio_Cad opening;
    DriveLogin({Type(u"OPER"_s, u"1234"_s)});
    QShowEvent show;
    EXPECT_NO_THROW(static_cast<QObject*>(&opening)->event(&show));
    EXPECT_EQ(presenter.Take().size(), 1);

    // The duplicate lookup fails closed.
    DM->Conn->Close();
    EXPECT_FALSE(screen->Valid_NCP(200000000005));
    EXPECT_TRUE(presenter.Take().value(0).startsWith(u"Erro ao consultar os dados (Valid_NCP)."_s));
}

class PlantioDeletionTest : public PlantioScreenTest
{
protected:
    void SetUp() override
    {
        PlantioScreenTest::SetUp();
        auto db = station.Open();
        // Two plantings of plant A (the key allows it), one with a quote in its time text.
        InsertPlantio(db.get(),
                      {1, 200000000001, kPlantA, operatorId, u"2024-02-01 10:00'00"_s, {}});
        InsertPlantio(db.get(),
                      {1, 200000000002, kPlantA, operatorId, u"2024-02-02 10:00:00"_s, {}});
        Open();
        SetOperation(1);
        ChooseLote(0);
    }

    /** Selects the grid row showing that NC Plantio. */
    void SelectRow(qint64 ncPlantio)
    {
        for (int rec = 1; rec <= screen->QGrid->RecordCount(); ++rec) {
            screen->GCad->SetCurrentRecNo(rec);
            if (screen->QGrid->FieldByName(u"nc_plantio"_s).AsLargeInt() == ncPlantio)
                return;
        }
        ADD_FAILURE() << "no row " << ncPlantio;
    }

    /** Confirms the deletion of a row: Yes, then the authorising login. */
    void Delete(qint64 ncPlantio)
    {
        SelectRow(ncPlantio);
        presenter.QueueAnswer(TXMessageButton::Yes);
        DriveLogin({Type(u"CHEFE"_s, u"4321"_s)});
        screen->BConfirm->click();
    }
};

TEST_F(PlantioDeletionTest, RefusalsThenTheSelectedRowArchived)
{
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
    EXPECT_TRUE(presenter.Last().Text.endsWith(u"NC_Plantio: 200000000002"_s));

    // Yes, then the authorising login closed: nothing changes.
    bool asked = false;
    DriveLogin({[&](TFLogin* dialog) { asked = dialog->DeleteMode; }});
    presenter.QueueAnswer(TXMessageButton::Yes);
    screen->BConfirm->click();
    EXPECT_TRUE(asked);
    EXPECT_EQ(Rows(u"Plantio"_s), 3);
    EXPECT_EQ(Rows(u"Plantio_Exc"_s), 0);

    // Yes and the authorising login: exactly the selected row is archived.
    presenter.Clear();
    Delete(200000000001);
    EXPECT_EQ(presenter.Take().size(), 1); // the question
    EXPECT_EQ(station.Scalar(u"SELECT group_concat(id_slote || '|' || nc_plantio || '|' || ncc || "
                             "'|' || id_user || '|' || data_plantio || '|' || "
                             "coalesce(origem_plantio, 'null') || '|' || user_plantio_exc || '|' "
                             "|| data_plantio_exc) FROM Plantio_Exc"_s),
              u"1|200000000001.0|100000000001.0|%1|2024-02-01 10:00'00|null|%2|%3"_s.arg(operatorId)
                  .arg(chiefId)
                  .arg(kNow));
    // The other planting of the same plant stays.
    EXPECT_EQ(Plantio(u"group_concat(nc_plantio)"_s, u"ncc = 100000000001"_s), u"200000000002.0"_s);
    EXPECT_EQ(Config().OperatorId, operatorId);

    // Scanned codes name the planting to delete, whatever row the grid shows.
    InsertPlantio(station.Open().get(),
                  {1, 200000000003, kPlantB, operatorId, u"2024-02-03 10:00:00"_s, {}});
    screen->ReopenGrid();
    presenter.Clear();
    SelectRow(200000000003);
    screen->NCP_LIDO->setText(Ncc(200000000099));
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Take().size(), 1); // none of the grid's: refused
    screen->NCC_LIDO->setText(Ncc(kPlantA));
    screen->NCP_LIDO->setText(Ncc(200000000002));
    presenter.QueueAnswer(TXMessageButton::Yes);
    DriveLogin({Type(u"CHEFE"_s, u"4321"_s)});
    screen->BConfirm->click();
    EXPECT_EQ(Plantio(u"count(*)"_s, u"ncc = 100000000001"_s), u"0"_s);
    EXPECT_EQ(Plantio(u"count(*)"_s, u"nc_plantio = 200000000003"_s), u"1"_s);
    screen->ClearLidos();
    presenter.Clear();

    // An empty grid has nothing to delete.
    ChooseLote(1);
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Take(), QStringList{u"Deve-se selecionar o lançamento a ser excluído."_s});
}

TEST_F(PlantioDeletionTest, FailedOrOvertakenDeletionLeavesBothTablesAndNoLockBehindTheBox)
{
    const std::pair<QString, QString> cases[] = {
        {u"CREATE TRIGGER recusa BEFORE INSERT ON Plantio_Exc "
         "BEGIN SELECT RAISE(ABORT, 'copia recusada'); END"_s,
         u"Erro ao Excluir dados (Copy_Reg_Exc): copia recusada"_s},
        {u"CREATE TRIGGER recusa BEFORE DELETE ON Plantio "
         "BEGIN SELECT RAISE(ABORT, 'exclusao recusada'); END"_s,
         u"Erro ao Excluir o plantio.\r\nMsg. Erro : exclusao recusada"_s},
        // The engine rolls the transaction back by itself, as on a full disk.
        {u"CREATE TRIGGER recusa BEFORE INSERT ON Plantio_Exc "
         "BEGIN SELECT RAISE(ROLLBACK, 'disco cheio'); END"_s,
         u"Erro ao Excluir dados (Copy_Reg_Exc): disco cheio"_s},
        // Transmitted after the row was shown.
        {u"UPDATE Plantio SET origem_plantio = 'SRV01' WHERE nc_plantio = 200000000002"_s,
         kTransmitted},
    };
    for (const auto& [change, alert] : cases) {
        SCOPED_TRACE(change.toStdString());
        SelectRow(200000000002);
        station.Exec(change);
        presenter.Clear();
        bool lockedUnderBox = false;
        presenter.OnPresent = [&](const TXMessageRequest&) {
            lockedUnderBox = lockedUnderBox || DM->Conn->InTransaction();
        };
        Delete(200000000002);
        presenter.OnPresent = nullptr;
        ASSERT_EQ(presenter.Count(), 2);
        EXPECT_EQ(presenter.Last().Text, alert);
        EXPECT_FALSE(lockedUnderBox);
        EXPECT_FALSE(DM->Conn->InTransaction());
        EXPECT_EQ(Rows(u"Plantio_Exc"_s), 0);
        EXPECT_EQ(Rows(u"Plantio"_s), 3);
        station.Exec(u"DROP TRIGGER IF EXISTS recusa"_s);
    }
}

TEST_F(PlantioDeletionTest, Filter)
{
    SetOperation(2);
    // No sub-batch: nothing matches.
    QTest::keyClick(screen->NCP_LIDO, Qt::Key_Return);
    EXPECT_EQ(screen->LReg->text(), u"Registros: 0"_s);

    // The conditions themselves are unit-tested with the filter builder.
    ChooseLote(0);
    Plant(kPlantA, 200000000001);
    EXPECT_EQ(screen->QGrid->RecordCount(), 1);
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join('|').toStdString();
    // An invalid NC Plantio alerts and drops the NCC condition as well.
    screen->NCP_LIDO->clear();
    Scan(screen->NCP_LIDO, u"2000000000011"_s);
    EXPECT_EQ(screen->QGrid->RecordCount(), 3);
    EXPECT_EQ(presenter.Count(), 1);
}

} // namespace
