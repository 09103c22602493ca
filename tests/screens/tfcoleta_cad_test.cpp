#include "data/txconnection.h"
#include "data/txquery.h"
#include "logindriver.h"
#include "shellfixture.h"
#include "tfcoleta_cad.h"
#include "tflogin.h"
#include "tplaca.h"
#include "txdbgrid.h"
#include "xcolours.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QString kNow = u"2024-05-06 15:08:09"_s; // afternoon: the clock text is 24-hour
const QString kHere = u"ESTACAO01"_s;          // kTestComputer as the file is bound to it
constexpr qint64 kNc = 200000000001;

class ColetaTest : public ShellTest
{
protected:
    ColetaTest() : ShellTest(StationOperation::Coleta) {}

    void SetUp() override
    {
        ShellTest::SetUp();
        station.WriteConnectionFile();
        Start();
        db = station.Open();
        operatorId = AddUser(db.get(), u"OPER"_s, u"Operador"_s, u"1234"_s);
        adminId = AddUser(db.get(), u"ADMIN"_s, u"Administrador"_s, u"4321"_s);
        for (qint64 nc = kNc; nc < kNc + 12; ++nc)
            InsertPlantio(db.get(), {1, nc, 5000 + nc, operatorId, kNow, QString()});
        SetNowSource([] { return QDateTime(QDate(2024, 5, 6), QTime(15, 8, 9)); });
        presenter.Clear();
    }

    void TearDown() override
    {
        SetNowSource({});
        db.reset();
        ShellTest::TearDown();
    }

    /** Opens the screen with the operator logged in. */
    TFColeta_Cad* Open()
    {
        DriveLogin({Type(u"OPER"_s, u"1234"_s)});
        screen = OpenChildForm<TFColeta_Cad>();
        Reactivate();
        EXPECT_EQ(mainForm->AppConfig->OperatorId, operatorId);
        return screen;
    }
    /** The login dialog took the activation; the scans need it back for focus moves. */
    void Reactivate()
    {
        QCoreApplication::processEvents();
        mainForm->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(mainForm.get()));
    }

    /** Types a code into an edit as a scanner does, Enter included. */
    static void Scan(QLineEdit* edit, const QString& code)
    {
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, code);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void Plate(const QString& code) { Scan(screen->PLACA_LIDO, code); }
    void Nc(qint64 nc) { Scan(screen->NCP_LIDO, EanCode(nc, BarcodeType::Ean13)); }

    /** Chooses an operation and applies it. */
    void Apply(int item)
    {
        screen->BSetOper->click();
        screen->SetRGOperIndex(item);
        screen->BSetOper->click();
    }

    /** Confirms a deletion: Yes to the question, then the authorising login. */
    void ConfirmDeletion()
    {
        presenter.QueueAnswer(TXMessageButton::Yes);
        DriveLogin({Type(u"ADMIN"_s, u"4321"_s)});
        screen->BConfirm->click();
        Reactivate();
    }

    QString Well(const QString& poco, const QString& column = u"NC_PLANTIO"_s)
    {
        return station.Scalar(
            u"SELECT %1 FROM Placa_Poco WHERE ID_PLACA = 1 AND POCO = '%2'"_s.arg(column, poco));
    }
    int Collected()
    {
        return station.Scalar(u"SELECT COUNT(NC_PLANTIO) FROM Placa_Poco WHERE ID_PLACA = 1"_s)
            .toInt();
    }
    int Archived() { return CountRows(db.get(), u"Placa_Poco_Exc"_s); }

    std::unique_ptr<TXConnection> db;
    TFColeta_Cad* screen = nullptr;
    int operatorId = 0;
    int adminId = 0;
};

TEST_F(ColetaTest, OpensLoggedInChecksThePlateFirstAndClosingLogsOut)
{
    QPointer<TFColeta_Cad> opened = Open();
    // Leaving the empty plate field is checked too, without holding the focus.
    screen->NCP_LIDO->setFocus();
    QTest::keyClicks(screen->NCP_LIDO, EanCode(kNc, BarcodeType::Ean13));
    QTest::keyClick(screen->NCP_LIDO, Qt::Key_Tab);
    EXPECT_EQ(presenter.Take(),
              (QStringList{u"PLACA deve ser informado."_s, u"A Placa já está completa. "_s}));

    // The confirm action stops at the plate code.
    QTest::keyClick(screen->NCP_LIDO, Qt::Key_Return);
    EXPECT_EQ(presenter.Take().size(), 1);
    EXPECT_EQ(QApplication::focusWidget(), screen->PLACA_LIDO);

    opened->BClose->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened.isNull(); }, 2000));
    EXPECT_EQ(mainForm->AppConfig->OperatorId, -1);

    // Without a login the screen closes itself.
    DriveLogin({[](TFLogin*) {}}); // the close box
    opened = OpenChildForm<TFColeta_Cad>();
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened.isNull(); }, 2000));
    EXPECT_EQ(presenter.Count(), 0);
}

TEST_F(ColetaTest, WholePlateCollectedInCollectionOrder)
{
    // 3 x 2 plate; the order runs backwards over the positions and a control
    // well sits in the middle of it: C2, B2(C), A2(C), C1, B1, A1.
    InsertPlaca(db.get(), 1, 1, u"PL01"_s, 3, 2, 2);
    station.Exec(u"UPDATE Placa_Poco SET AMOSTRA = 'C' WHERE POCO = 'A2'"_s);
    station.Exec(u"UPDATE Placa_Poco SET AMOSTRA = 'T' WHERE POCO = 'C2'"_s);
    station.Exec(u"UPDATE Placa_Poco SET SEQ_COLETA = 100 - SEQ_COLETA"_s);
    Open();
    // One second per collection, so the list can show the newest first.
    int tick = 0;
    SetNowSource([&] { return QDateTime(QDate(2024, 5, 6), QTime(15, 8, 9)).addSecs(tick++); });

    Plate(u"pl01"_s);
    const QStringList order = {"C2", "C1", "B1", "A1"};
    for (int i = 0; i < order.size(); ++i) {
        Nc(kNc + i);
        EXPECT_EQ(Well(order[i], u"NC_PLANTIO || '|' || USER_COLETA || '|' || DATA_COLETA || "
                                 "'|' || STATUS_POCO || '|' || coalesce(ORIGEM_COLETA, '-')"_s),
                  u"%1.0|%2|2024-05-06 15:08:%3|1|-"_s.arg(kNc + i)
                      .arg(operatorId)
                      .arg(9 + i, 2, 10, QLatin1Char('0')));
        if (i == 1) {
            screen->QGrid->First();
            EXPECT_EQ(screen->QGrid->FieldByName(u"poco"_s).AsString(), u"C1"_s);
        }
    }
    EXPECT_EQ(Collected(), 4); // the control wells stay empty
    EXPECT_EQ(presenter.Take(), QStringList{u"A Placa já foi totalmente coletado."_s});
    EXPECT_EQ(QApplication::focusWidget(), screen->PLACA_LIDO);
    EXPECT_EQ(screen->Placa().IdPlaca, -1);
}

TEST_F(ColetaTest, PlateCodeChecks)
{
    InsertPlaca(db.get(), 1, 1, u"PL01"_s, 2, 2, 1);
    InsertPlaca(db.get(), 2, 2, u"PL02"_s, 2, 2, 1);
    InsertPlaca(db.get(), 3, 3, u"SOC"_s, 2, 2, 1);
    station.Exec(u"UPDATE Placa_Poco SET AMOSTRA = 'C' WHERE ID_PLACA = 3"_s);
    InsertPlaca(db.get(), 4, 4, u"OUTRA"_s, 2, 2, 1);
    CollectWell(db.get(), 4, 1, kNc + 10, operatorId, kNow, u"PC2"_s);
    Open();

    Plate(u"PL01"_s);
    // Same code again: nothing is read, so a well filled behind the screen stays unseen.
    CollectWell(db.get(), 1, 1, kNc, operatorId, kNow);
    Plate(u"PL01"_s);
    EXPECT_EQ(screen->PN_Poco_Falta->text(), u"3"_s);
    Plate(u"PL02"_s);
    Plate(u"PL01"_s);
    EXPECT_EQ(screen->PN_Poco_Falta->text(), u"2"_s);
    const QImage image = screen->SG->viewport()->grab().toImage();
    auto pixel = [&](int row, int column) {
        const QRect rect = screen->SG->visualItemRect(screen->SG->item(row, column));
        return image.pixelColor(rect.topLeft() + QPoint(3, 3));
    };
    EXPECT_EQ(pixel(1, 1), kWellCollected); // A1 collected
    EXPECT_EQ(pixel(2, 1), kWellFree);      // B1 free
    EXPECT_EQ(pixel(2, 2), kWellControl);   // B2 control

    // Another computer's plate: refused, the loaded plate stays. (Each move back to the
    // plate field leaves the empty NC field, which alerts too.)
    Plate(u"OUTRA"_s);
    EXPECT_EQ(presenter.Last().Text,
              u"A Placa  [OUTRA] iniciou a coleta no computador [PC2]. "
              "\r\nUma Placa não pode ser coletado em máquinas diferentes."_s);
    EXPECT_EQ(screen->Placa().IdPlaca, 1);

    for (const QString& code : {u"NENHUMA"_s, u"SOC"_s}) {
        Plate(code);
        EXPECT_EQ(presenter.Last().Text,
                  u"A Placa de coleta [%1] não está cadastrado. "_s.arg(code));
        EXPECT_EQ(screen->Placa().IdPlaca, -1);
    }

    // A plate with no free well is refused as it is scanned, not at the next NC Plantio.
    CollectWell(db.get(), 2, 1, kNc + 1, operatorId, kNow);
    CollectWell(db.get(), 2, 2, kNc + 2, operatorId, kNow);
    CollectWell(db.get(), 2, 3, kNc + 3, operatorId, kNow);
    Plate(u"PL02"_s);
    EXPECT_EQ(presenter.Last().Text, u"A Placa já está completa. \r\nTodos os poços da Placa "
                                     "[PL02] já foram coletados; leia outra Placa."_s);
    EXPECT_EQ(QApplication::focusWidget(), screen->PLACA_LIDO);

    // An empty code alerts, unloads and does not hold the focus.
    Plate(u"PL01"_s);
    Plate(QString());
    EXPECT_EQ(presenter.Last().Text, u"PLACA deve ser informado."_s);
    EXPECT_EQ(screen->Placa().IdPlaca, -1);
    EXPECT_EQ(QApplication::focusWidget(), screen->NCP_LIDO);
}

TEST_F(ColetaTest, NcPlantioRefusals)
{
    InsertPlaca(db.get(), 1, 1, u"PL01"_s, 2, 3, 1);
    InsertPlaca(db.get(), 2, 2, u"PL02"_s, 2, 2, 1);
    CollectWell(db.get(), 2, 2, kNc + 2, operatorId, u"2024-01-02 03:04:06"_s, u"PC9"_s);
    Open();
    mainForm->AppConfig->rela_final = 300000000000;
    Plate(u"PL01"_s);
    presenter.Clear();

    QString badDigit = EanCode(kNc, BarcodeType::Ean13);
    badDigit[12] = QLatin1Char(badDigit[12] == QLatin1Char('9') ? '0' : '9');
    // One case per alert path; the rules themselves are unit-tested.
    const std::pair<QString, QString> cases[] = {
        {EanCode(999, BarcodeType::Ean13), u"NC Plantio não Cadastrado. "_s},
        {EanCode(kNc + 2, BarcodeType::Ean13),
         u"NC Plantio já foi coletado. \r\n Placa : PL02\r\n Poço : B1\r\n Data da Coleta : "
         "2024-01-02 03:04:06\r\n Computador: PC9"_s},
        {EanCode(300000000001, BarcodeType::Ean13), u" NC [300.000.000.001] fora da faixa "_s},
        {badDigit, u"Dígito Verificador EAN13 não confere (%1)."_s.arg(badDigit[12])},
        {QString(), u"NC Plantio deve ser informado."_s},
    };
    for (const auto& [code, message] : cases) {
        Scan(screen->NCP_LIDO, code);
        ASSERT_EQ(presenter.Count(), 1) << code.toStdString();
        EXPECT_TRUE(presenter.Take().first().startsWith(message)) << code.toStdString();
        EXPECT_EQ(screen->NCP_LIDO->selectedText(), code);
    }
    EXPECT_EQ(Collected(), 0);

    // Without a barcode type a code is still refused unless it is all digits.
    mainForm->AppConfig->cb_nc_plantio = 2;
    Scan(screen->NCP_LIDO, u"12A45"_s);
    EXPECT_EQ(presenter.Take(), QStringList{u"Código deve conter somente números."_s});
    // The trailing blank the EAN-8 check lets through is not the check digit.
    InsertPlantio(db.get(), {1, 1234567, 5999, operatorId, kNow, QString()});
    mainForm->AppConfig->cb_nc_plantio = 0;
    Scan(screen->NCP_LIDO, u"12345670 "_s);
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join('|').toStdString();
    EXPECT_EQ(Well(u"A1"_s), u"1234567"_s);
}

TEST_F(ColetaTest, AFilledWellIsNeverOverwritten)
{
    InsertPlaca(db.get(), 1, 1, u"PL01"_s, 2, 2, 1);
    Open();
    Plate(u"PL01"_s);
    // Another writer fills the next well after the plate was read.
    CollectWell(db.get(), 1, 1, kNc + 5, adminId, u"2024-01-01 00:00:00"_s);
    Nc(kNc);
    EXPECT_EQ(presenter.Take(), QStringList{u"O Poço [A1] já estava coletado e não foi alterado."
                                            "\r\nA Placa foi recarregada; leia o NC Plantio "
                                            "novamente."_s});
    EXPECT_EQ(Well(u"A1"_s, u"NC_PLANTIO || '|' || USER_COLETA"_s),
              u"%1.0|%2"_s.arg(kNc + 5).arg(adminId));
    EXPECT_EQ(screen->PN_Poco_Falta->text(), u"2"_s); // reloaded

    // Scanned again, the code goes into the next free well.
    Nc(kNc);
    EXPECT_EQ(presenter.Count(), 0);
    EXPECT_EQ(Well(u"B1"_s), QString::number(kNc));

    // Another writer on this computer collects the planting into another plate between the
    // checks and the write (the write reads the clock): it is not stored twice.
    InsertPlaca(db.get(), 2, 2, u"PL02"_s, 2, 2, 1);
    SetNowSource([this] {
        CollectWell(db.get(), 2, 1, kNc + 1, adminId, u"2024-01-01 00:00:00"_s, kHere);
        return QDateTime(QDate(2024, 5, 6), QTime(15, 8, 9));
    });
    Nc(kNc + 1);
    SetNowSource({});
    EXPECT_EQ(presenter.Take(),
              QStringList{u"NC Plantio já foi coletado. \r\n Placa : PL02\r\n Poço : A1\r\n Data "
                          "da Coleta : 2024-01-01 00:00:00\r\n Computador: Nesse Computador."_s});
    EXPECT_EQ(Collected(), 2);
}

TEST_F(ColetaTest, DatabaseErrorsAreShownOnEveryPath)
{
    InsertPlaca(db.get(), 1, 1, u"PL01"_s, 2, 2, 1);
    Open();
    Plate(u"PL01"_s);

    // A failed write keeps the plate model.
    station.Exec(u"CREATE TRIGGER recusa BEFORE UPDATE ON Placa_Poco "
                 "BEGIN SELECT RAISE(ABORT, 'gravacao recusada'); END"_s);
    Nc(kNc);
    EXPECT_EQ(presenter.Take(),
              QStringList{u"Erro ao Incluir os dados.\r\nMsg. Erro : gravacao recusada"_s});
    EXPECT_EQ(screen->Placa().NextFreeIndex(), 0);

    station.Exec(u"ALTER TABLE Plantio RENAME TO Plantio_Fora"_s);
    Nc(kNc);
    EXPECT_TRUE(presenter.Take().value(0).startsWith(u"Erro ao consultar os dados (Valid_NCP)."_s));
    EXPECT_EQ(Collected(), 0);

    // Errors of the Enter key (reading a changed plate) and of the opening are shown by the
    // screen, not raised through Qt's event delivery.
    station.Exec(u"ALTER TABLE Placa RENAME TO Placa_Fora"_s);
    screen->PLACA_LIDO->setText(u"PL02"_s);
    presenter.Clear();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    EXPECT_NO_THROW(static_cast<QObject*>(screen)->eventFilter(screen->NCP_LIDO, &enter));
    EXPECT_EQ(presenter.Take().size(), 1);
    EXPECT_FALSE(screen->Confirming);

    TFColeta_Cad opening;
    DriveLogin({Type(u"OPER"_s, u"1234"_s)});
    QShowEvent show;
    EXPECT_NO_THROW(static_cast<QObject*>(&opening)->event(&show));
    EXPECT_EQ(presenter.Take().size(), 1);
}

// ---- deletion

TEST_F(ColetaTest, WholePlateDeletionArchivesAndFreesTogether)
{
    InsertPlaca(db.get(), 1, 1, u"PL01"_s, 3, 3, 2);
    for (int seq = 1; seq <= 5; ++seq)
        CollectWell(db.get(), 1, seq, kNc + seq, operatorId, kNow);
    Open();
    Apply(1);
    Plate(u"PL01"_s);
    ConfirmDeletion();

    EXPECT_EQ(presenter.Last().DefaultButton, TXMessageButton::No);
    EXPECT_EQ(presenter.Take(),
              QStringList{u"Confirma a Exclusão dos dados de coleta da Placa?"_s});
    const QString archived = u"SELECT COUNT(*) FROM Placa_Poco_Exc WHERE USER_COLETA_EXC = %1 AND "
                             "DATA_COLETA_EXC = '%2' AND USER_COLETA = %3"_s;
    EXPECT_EQ(station.Scalar(archived.arg(adminId).arg(kNow).arg(operatorId)), u"5"_s);
    EXPECT_EQ(station.Scalar(u"SELECT COUNT(*) FROM Placa_Poco WHERE STATUS_POCO <> 0 OR "
                             "USER_COLETA IS NOT NULL OR DATA_COLETA IS NOT NULL OR "
                             "NC_PLANTIO IS NOT NULL"_s),
              u"0"_s);
    EXPECT_EQ(mainForm->AppConfig->OperatorId, operatorId);

    // Nothing left: the next confirm stops at the check.
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Take(), QStringList{u"Não há nenhum poço coletado na Placa."_s});
}

TEST_F(ColetaTest, LastWellDeletionGoesBackwardsAndAFailedResetLeavesNoHalfDeletion)
{
    InsertPlaca(db.get(), 1, 1, u"PL01"_s, 3, 2, 1);
    for (int seq = 1; seq <= 3; ++seq)
        CollectWell(db.get(), 1, seq, kNc + seq, operatorId, kNow);
    // A well without a label is still one well, not the whole plate; a quote is just a character.
    station.Exec(u"UPDATE Placa_Poco SET POCO = '' WHERE POCO = 'C1'"_s);
    station.Exec(u"UPDATE Placa_Poco SET POCO = 'B''1' WHERE POCO = 'B1'"_s);
    Open();
    Apply(2);
    Plate(u"PL01"_s);
    station.Exec(u"CREATE TRIGGER reset_falha BEFORE UPDATE ON Placa_Poco BEGIN "
                 "SELECT RAISE(ABORT, 'reset recusado'); END"_s);
    ConfirmDeletion();
    EXPECT_EQ(presenter.Last().Text, u"Erro ao Excluir os dados.\r\nMsg. Erro : reset recusado"_s);
    EXPECT_EQ(Archived(), 0);
    station.Exec(u"DROP TRIGGER reset_falha"_s);
    ConfirmDeletion();
    EXPECT_TRUE(Well(QString()).isEmpty());
    EXPECT_EQ(Collected(), 2);

    // The same second twice would clash in the archive's key.
    SetNowSource([] { return QDateTime(QDate(2024, 5, 6), QTime(15, 8, 10)); });
    presenter.Clear();
    // Enter while the next operation is being chosen acts on the one in force.
    screen->BSetOper->click();
    screen->SetRGOperIndex(1);
    presenter.QueueAnswer(TXMessageButton::Yes);
    DriveLogin({Type(u"ADMIN"_s, u"4321"_s)});
    QTest::keyClick(screen->NCP_LIDO, Qt::Key_Return);
    EXPECT_EQ(presenter.Take(),
              QStringList{u"Confirma a Exclusão do dado de coleta do poço [B'1]?"_s});
    EXPECT_EQ(station.Scalar(u"SELECT POCO || '|' || NC_PLANTIO FROM Placa_Poco_Exc "
                             "WHERE POCO <> ''"_s),
              u"B'1|%1.0"_s.arg(kNc + 2));

    // No, or no authorising login: nothing changes.
    Reactivate();
    screen->SetRGOperIndex(2);
    screen->BSetOper->click();
    Plate(u"PL01"_s);
    presenter.QueueAnswer(TXMessageButton::No);
    screen->BConfirm->click();
    presenter.QueueAnswer(TXMessageButton::Yes);
    DriveLogin({[](TFLogin*) {}}); // the close box
    screen->BConfirm->click();
    EXPECT_EQ(Collected(), 1);
    EXPECT_EQ(presenter.Take(),
              QStringList(2, u"Confirma a Exclusão do dado de coleta do poço [A1]?"_s));
}

TEST_F(ColetaTest, TransmittedOrForeignDataIsNeitherArchivedNorFreed)
{
    InsertPlaca(db.get(), 1, 1, u"PL01"_s, 2, 2, 1);
    CollectWell(db.get(), 1, 1, kNc + 1, operatorId, kNow);
    CollectWell(db.get(), 1, 2, kNc + 2, operatorId, kNow);
    InsertPlaca(db.get(), 2, 2, u"OUTRA"_s, 2, 2, 1);
    CollectWell(db.get(), 2, 1, kNc + 4, operatorId, kNow, u"PC2"_s);
    Open();
    const QString refusals[] = {
        u"Os Dados da Placa  [PL01] já foi transmitido para o Servidor. \r\nNão é mais possivel a "
        "exclusão dos dados de coleta da Placa."_s,
        u"A Informação do Poço [B1] já foi transmitido para o Servidor. \r\nNão é mais possivel a "
        "exclusão do dado de coleta do Poço."_s};
    for (int item : {1, 2}) {
        Apply(item);
        Plate(u"PL01"_s);
        // Transmitted after the plate was read: refused by the write...
        station.Exec(u"UPDATE Placa_Poco SET ORIGEM_COLETA = '%1' WHERE ID_PLACA = 1 AND "
                     "POCO = 'B1'"_s.arg(kHere));
        ConfirmDeletion();
        // ...and the same code confirmed again is refused at once, without a question.
        screen->BConfirm->click();
        EXPECT_EQ(presenter.Take().mid(1), QStringList(2, refusals[item - 1]));
        EXPECT_EQ(Archived(), 0);
        EXPECT_EQ(Collected(), 2);
        station.Exec(u"UPDATE Placa_Poco SET ORIGEM_COLETA = NULL WHERE ID_PLACA = 1"_s);
    }

    // Another computer's plate is refused, the plate model stays and the focus is not held.
    Plate(u"OUTRA"_s);
    EXPECT_EQ(presenter.Take(),
              QStringList{u"A Placa  [OUTRA] iniciou a coleta no computador [PC2]. \r\nOs dados "
                          "de coleta de outro computador não podem ser excluídos neste "
                          "computador."_s});
    EXPECT_EQ(screen->Placa().IdPlaca, 1);
    EXPECT_EQ(QApplication::focusWidget(), screen->NCP_LIDO);
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Count(), 1);
    EXPECT_EQ(Archived(), 0);
}

} // namespace
