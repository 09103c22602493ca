#include "data/txconnection.h"
#include "data/txquery.h"
#include "logindriver.h"
#include "shellfixture.h"
#include "tfcoleta_cad.h"
#include "tflogin.h"
#include "tplaca.h"
#include "txdbgrid.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>
#include <QToolButton>

namespace {

const QString kNow = QStringLiteral("2024-05-06 07:08:09");
const QString kHere = QStringLiteral("ESTACAO01"); // kTestComputer as the file is bound to it

/** The scannable EAN-13 code of a planting number. */
QString Code(qint64 nc)
{
    return EanCode(nc, BarcodeType::Ean13);
}

QString PlateSent(const QString& placa)
{
    return QStringLiteral("Os Dados da Placa  [%1] já foi transmitido para o Servidor. \r\nNão é "
                          "mais possivel a exclusão dos dados de coleta da Placa.")
        .arg(placa);
}

QString WellSent(const QString& poco)
{
    return QStringLiteral("A Informação do Poço [%1] já foi transmitido para o Servidor. \r\nNão "
                          "é mais possivel a exclusão do dado de coleta do Poço.")
        .arg(poco);
}

class ColetaTest : public ShellTest
{
protected:
    ColetaTest() : ShellTest(StationOperation::Coleta) {}

    void SetUp() override
    {
        ShellTest::SetUp();
        station.WriteConnectionFile();
        Start();
        mainForm->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(mainForm.get()));
        db = station.Open();
        operatorId = AddUser(db.get(), QStringLiteral("OPER"), QStringLiteral("Operador"),
                             QStringLiteral("1234"));
        adminId = AddUser(db.get(), QStringLiteral("ADMIN"), QStringLiteral("Administrador"),
                          QStringLiteral("4321"));
        for (qint64 nc = kFirstNc; nc < kFirstNc + 12; ++nc)
            InsertPlantio(db.get(), {1, nc, 5000 + nc, operatorId, kNow, QString()});
        SetNowSource([] { return QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)); });
        presenter.Clear();
    }

    void TearDown() override
    {
        SetNowSource({});
        db.reset();
        ShellTest::TearDown();
    }

    /** Opens the screen with the operator logged in. */
    TFColeta_Cad* OpenScreen()
    {
        DriveLogin({Type(QStringLiteral("OPER"), QStringLiteral("1234"))});
        auto* screen = OpenChildForm<TFColeta_Cad>();
        QCoreApplication::processEvents();
        // The login dialog took the activation; the scans need it back for focus moves.
        mainForm->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(mainForm.get()));
        EXPECT_EQ(mainForm->AppConfig->OperatorId, operatorId);
        return screen;
    }

    /** Types a code into an edit as a scanner does, Enter included. */
    void Scan(QLineEdit* edit, const QString& code)
    {
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, code);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    /** Clicks BSetOper twice: choose the item, then apply it. */
    void Apply(TFColeta_Cad* screen, int item)
    {
        screen->BSetOper->click();
        screen->SetRGOperIndex(item);
        screen->BSetOper->click();
    }

    /** Confirms a deletion: Yes to the question, then the authorising login. */
    void ConfirmDeletion(TFColeta_Cad* screen)
    {
        presenter.QueueAnswer(TXMessageButton::Yes);
        DriveLogin({Type(QStringLiteral("ADMIN"), QStringLiteral("4321"))});
        screen->BConfirm->click();
    }

    QString Well(int idPlaca, const QString& poco, const char* column)
    {
        return station.Scalar(QStringLiteral("SELECT %1 FROM Placa_Poco WHERE ID_PLACA = %2 AND "
                                             "POCO = '%3'")
                                  .arg(QString::fromLatin1(column))
                                  .arg(idPlaca)
                                  .arg(poco));
    }
    int Count(const QString& sql) { return station.Scalar(sql).toInt(); }
    int Collected(int idPlaca)
    {
        return Count(QStringLiteral("SELECT COUNT(*) FROM Placa_Poco WHERE ID_PLACA = %1 AND "
                                    "NC_PLANTIO IS NOT NULL")
                         .arg(idPlaca));
    }

    static constexpr qint64 kFirstNc = 200000000001;
    std::unique_ptr<TXConnection> db;
    int operatorId = 0;
    int adminId = 0;
};

TEST_F(ColetaTest, OpensLoggedInAndClosingLogsOut)
{
    QPointer<TFColeta_Cad> screen = OpenScreen();
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->USUA->text(), QStringLiteral("OPERADOR")); // upper case, as read
    EXPECT_EQ(screen->OperationMode, TFColeta_Cad::kInclusao);
    screen->BClose->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen.isNull(); }, 2000));
    EXPECT_EQ(mainForm->AppConfig->OperatorId, -1);

    // Without a login the screen closes itself.
    DriveLogin({[](TFLogin*) {}}); // the close box
    screen = OpenChildForm<TFColeta_Cad>();
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen.isNull(); }, 2000));
    EXPECT_EQ(presenter.Count(), 0);
}

TEST_F(ColetaTest, WholePlateCollectedInCollectionOrder)
{
    // 3 x 2 plate; the order runs backwards over the positions and a control
    // well sits in the middle of it: C2, B2(C), A2(C), C1, B1, A1.
    InsertPlaca(db.get(), 1, 1, QStringLiteral("PL01"), 3, 2, 2);
    station.Exec(QStringLiteral("UPDATE Placa_Poco SET AMOSTRA = 'C' WHERE POCO = 'A2'"));
    station.Exec(QStringLiteral("UPDATE Placa_Poco SET AMOSTRA = 'T' WHERE POCO = 'C2'"));
    station.Exec(QStringLiteral("UPDATE Placa_Poco SET SEQ_COLETA = 100 - SEQ_COLETA"));
    TFColeta_Cad* screen = OpenScreen();
    // One second per collection, so the list can show the newest first.
    int tick = 0;
    SetNowSource([&] { return QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)).addSecs(tick++); });

    Scan(screen->PLACA_LIDO, QStringLiteral("pl01"));
    EXPECT_EQ(QApplication::focusWidget(), screen->NCP_LIDO);
    EXPECT_EQ(screen->PN_Poco_Falta->text(), QStringLiteral("4"));
    EXPECT_EQ(CellText(screen->SG, 3, 2), QStringLiteral("94")); // C2 comes first

    const QStringList order = {"C2", "C1", "B1", "A1"};
    for (int i = 0; i < order.size(); ++i) {
        SCOPED_TRACE(i);
        Scan(screen->NCP_LIDO, Code(kFirstNc + i));
        EXPECT_EQ(Well(1, order[i],
                       "NC_PLANTIO || '|' || USER_COLETA || '|' || DATA_COLETA || "
                       "'|' || STATUS_POCO || '|' || coalesce(ORIGEM_COLETA, '-')"),
                  QStringLiteral("%1.0|%2|2024-05-06 07:08:%3|1|-")
                      .arg(kFirstNc + i)
                      .arg(operatorId)
                      .arg(9 + i, 2, 10, QLatin1Char('0')));
        if (i < order.size() - 1) {
            EXPECT_EQ(screen->PN_Poco_Falta->text(), QString::number(3 - i));
            EXPECT_EQ(QApplication::focusWidget(), screen->NCP_LIDO);
            EXPECT_TRUE(screen->NCP_LIDO->text().isEmpty());
            EXPECT_EQ(screen->LReg->text(), QStringLiteral("Registros: %1").arg(i + 1));
            screen->QGrid->First();
            EXPECT_EQ(screen->QGrid->FieldByName(QStringLiteral("poco")).AsString(), order[i]);
        }
    }
    EXPECT_EQ(Collected(1), 4); // the control wells stay empty
    EXPECT_EQ(presenter.Take(), QStringList{QStringLiteral("A Placa já foi totalmente coletado.")});
    EXPECT_TRUE(screen->PLACA_LIDO->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), screen->PLACA_LIDO);
    EXPECT_EQ(screen->Placa().IdPlaca, -1);
    EXPECT_TRUE(CellText(screen->SG, 3, 2).isEmpty());
    EXPECT_EQ(screen->GCad->Model()->rowCount(), 0);
}

TEST_F(ColetaTest, PlateCodeChecks)
{
    InsertPlaca(db.get(), 1, 1, QStringLiteral("PL01"), 2, 2, 1);
    InsertPlaca(db.get(), 2, 2, QStringLiteral("PL02"), 2, 2, 1);
    InsertPlaca(db.get(), 3, 3, QStringLiteral("SOC"), 2, 2, 1);
    station.Exec(QStringLiteral("UPDATE Placa_Poco SET AMOSTRA = 'C' WHERE ID_PLACA = 3"));
    InsertPlaca(db.get(), 4, 4, QStringLiteral("OUTRA"), 2, 2, 1);
    CollectWell(db.get(), 4, 1, kFirstNc + 10, operatorId, kNow, QStringLiteral("PC2"));
    TFColeta_Cad* screen = OpenScreen();

    Scan(screen->PLACA_LIDO, QStringLiteral("PL01"));
    EXPECT_EQ(screen->PN_Poco_Falta->text(), QStringLiteral("3"));
    // Same code again: nothing is read, so a well filled behind the screen stays unseen.
    CollectWell(db.get(), 1, 1, kFirstNc, operatorId, kNow);
    Scan(screen->PLACA_LIDO, QStringLiteral("PL01"));
    EXPECT_EQ(screen->PN_Poco_Falta->text(), QStringLiteral("3"));
    Scan(screen->PLACA_LIDO, QStringLiteral("PL02"));
    Scan(screen->PLACA_LIDO, QStringLiteral("PL01"));
    EXPECT_EQ(screen->PN_Poco_Falta->text(), QStringLiteral("2"));
    // Each move back to the plate field leaves the empty NC field, which is checked.
    const QString ncEmpty = QStringLiteral("NC Plantio deve ser informado.");
    EXPECT_EQ(presenter.Take(), QStringList(3, ncEmpty));

    // Another computer's plate: refused, the loaded plate stays.
    Scan(screen->PLACA_LIDO, QStringLiteral("OUTRA"));
    EXPECT_EQ(presenter.Take(),
              (QStringList{ncEmpty, QStringLiteral("A Placa  [OUTRA] iniciou a coleta no "
                                                   "computador [PC2]. \r\nUma Placa não pode "
                                                   "ser coletado em máquinas diferentes.")}));
    EXPECT_EQ(screen->Placa().IdPlaca, 1);
    EXPECT_EQ(screen->PLACA_LIDO->selectedText(), QStringLiteral("OUTRA"));

    for (const char* code : {"NENHUMA", "SOC"}) {
        SCOPED_TRACE(code);
        Scan(screen->PLACA_LIDO, QString::fromLatin1(code));
        EXPECT_EQ(presenter.Take(), QStringList{QStringLiteral("A Placa de coleta [%1] não está "
                                                               "cadastrado. ")
                                                    .arg(QString::fromLatin1(code))});
        EXPECT_EQ(screen->Placa().IdPlaca, -1);
    }

    // An empty code alerts, unloads and does not hold the focus.
    Scan(screen->PLACA_LIDO, QStringLiteral("PL01"));
    presenter.Clear();
    Scan(screen->PLACA_LIDO, QString());
    EXPECT_EQ(presenter.Take(),
              (QStringList{ncEmpty, QStringLiteral("PLACA deve ser informado.")}));
    EXPECT_EQ(screen->Placa().IdPlaca, -1);
    EXPECT_EQ(QApplication::focusWidget(), screen->NCP_LIDO);
}

TEST_F(ColetaTest, NcPlantioRefusals)
{
    InsertPlaca(db.get(), 1, 1, QStringLiteral("PL01"), 2, 3, 1);
    InsertPlaca(db.get(), 2, 2, QStringLiteral("PL02"), 2, 2, 1);
    CollectWell(db.get(), 2, 2, kFirstNc + 2, operatorId, QStringLiteral("2024-01-02 03:04:06"),
                QStringLiteral("PC9"));
    CollectWell(db.get(), 2, 3, kFirstNc + 3, operatorId, QStringLiteral("2024-01-02 03:04:07"),
                kHere);
    TFColeta_Cad* screen = OpenScreen();
    mainForm->AppConfig->rela_final = 300000000000;
    Scan(screen->PLACA_LIDO, QStringLiteral("PL01"));
    presenter.Clear();

    QString badDigit = Code(kFirstNc);
    badDigit[12] = QLatin1Char(badDigit[12] == QLatin1Char('9') ? '0' : '9');
    const QString collected = QStringLiteral("NC Plantio já foi coletado. \r\n Placa : PL02\r\n"
                                             " Poço : %1\r\n Data da Coleta : %2\r\n"
                                             " Computador: %3");
    const struct
    {
        QString code;
        QString message;
    } cases[] = {
        {Code(999), QStringLiteral("NC Plantio não Cadastrado. ")},
        {Code(kFirstNc + 2), collected.arg("B1", "2024-01-02 03:04:06", "PC9")},
        {Code(kFirstNc + 3),
         collected.arg("A2", "2024-01-02 03:04:07", QStringLiteral("Nesse Computador."))},
        {Code(300000000001), QStringLiteral(" NC [300.000.000.001] fora da faixa válida. \r\n"
                                            " O Valor do NC Plantio deve  ser menor que "
                                            "[300.000.000.000].")},
        {badDigit, QStringLiteral("Dígito Verificador EAN13 não confere (%1).").arg(badDigit[12])},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code.toStdString());
        Scan(screen->NCP_LIDO, c.code);
        EXPECT_EQ(presenter.Take(), QStringList{c.message});
        EXPECT_EQ(QApplication::focusWidget(), screen->NCP_LIDO);
        EXPECT_EQ(screen->NCP_LIDO->selectedText(), c.code);
        EXPECT_EQ(Collected(1), 0);
    }
    Scan(screen->NCP_LIDO, QString());
    EXPECT_EQ(presenter.Take(), QStringList{QStringLiteral("NC Plantio deve ser informado.")});
    EXPECT_EQ(Collected(1), 0);

    // Without a barcode type a code is still refused unless it is all digits.
    mainForm->AppConfig->cb_nc_plantio = 2;
    Scan(screen->NCP_LIDO, QStringLiteral("12A45"));
    EXPECT_EQ(presenter.Take(), QStringList{QStringLiteral("Código deve conter somente números.")});
    // The trailing blank the EAN-8 check lets through is not the check digit.
    InsertPlantio(db.get(), {1, 1234567, 5999, operatorId, kNow, QString()});
    mainForm->AppConfig->cb_nc_plantio = 0;
    Scan(screen->NCP_LIDO, QStringLiteral("12345670 "));
    EXPECT_EQ(presenter.Count(), 0) << presenter.Texts().join('|').toStdString();
    EXPECT_EQ(Well(1, QStringLiteral("A1"), "NC_PLANTIO"), QStringLiteral("1234567"));
}

TEST_F(ColetaTest, NoPlateLoadedLeavingTheNcField)
{
    TFColeta_Cad* screen = OpenScreen();
    // Leaving the empty plate field is checked too, without holding the focus.
    screen->NCP_LIDO->setFocus();
    EXPECT_EQ(presenter.Take(), QStringList{QStringLiteral("PLACA deve ser informado.")});
    QTest::keyClicks(screen->NCP_LIDO, Code(kFirstNc));
    QTest::keyClick(screen->NCP_LIDO, Qt::Key_Tab);
    EXPECT_EQ(presenter.Take(), QStringList{QStringLiteral("A Placa já está completa. ")});
    EXPECT_EQ(QApplication::focusWidget(), screen->NCP_LIDO);

    // The confirm action stops at the plate code.
    QTest::keyClick(screen->NCP_LIDO, Qt::Key_Return);
    EXPECT_EQ(presenter.Take(), QStringList{QStringLiteral("PLACA deve ser informado.")});
    EXPECT_EQ(QApplication::focusWidget(), screen->PLACA_LIDO);
    EXPECT_EQ(CountRows(db.get(), QStringLiteral("Placa_Poco")), 0);
}

TEST_F(ColetaTest, AFilledWellIsNeverOverwritten)
{
    InsertPlaca(db.get(), 1, 1, QStringLiteral("PL01"), 2, 2, 1);
    TFColeta_Cad* screen = OpenScreen();
    Scan(screen->PLACA_LIDO, QStringLiteral("PL01"));
    // Another writer fills the next well after the plate was read.
    CollectWell(db.get(), 1, 1, kFirstNc + 5, adminId, QStringLiteral("2024-01-01 00:00:00"));
    Scan(screen->NCP_LIDO, Code(kFirstNc));
    ASSERT_EQ(presenter.Count(), 1);
    EXPECT_EQ(presenter.Last().Text,
              QStringLiteral("O Poço [A1] já estava coletado e não foi alterado.\r\n"
                             "A Placa foi recarregada; leia o NC Plantio novamente."));
    EXPECT_EQ(Well(1, QStringLiteral("A1"), "NC_PLANTIO || '|' || USER_COLETA"),
              QStringLiteral("%1.0|%2").arg(kFirstNc + 5).arg(adminId));
    EXPECT_EQ(Collected(1), 1);
    EXPECT_EQ(screen->PN_Poco_Falta->text(), QStringLiteral("2")); // reloaded

    // Scanned again, the code goes into the next free well.
    presenter.Clear();
    Scan(screen->NCP_LIDO, Code(kFirstNc));
    EXPECT_EQ(presenter.Count(), 0);
    EXPECT_EQ(Well(1, QStringLiteral("B1"), "NC_PLANTIO"), QString::number(kFirstNc));

    // Another writer collects the planting into another plate between the checks and the
    // write (the write reads the clock): it is not stored twice.
    InsertPlaca(db.get(), 2, 2, QStringLiteral("PL02"), 2, 2, 1);
    SetNowSource([this] {
        CollectWell(db.get(), 2, 1, kFirstNc + 1, adminId, QStringLiteral("2024-01-01 00:00:00"));
        return QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9));
    });
    Scan(screen->NCP_LIDO, Code(kFirstNc + 1));
    SetNowSource({});
    EXPECT_EQ(presenter.Take(),
              QStringList{QStringLiteral("NC Plantio já foi coletado. \r\n Placa : PL02\r\n Poço "
                                         ": A1\r\n Data da Coleta : 2024-01-01 00:00:00\r\n "
                                         "Computador: Nesse Computador.")});
    EXPECT_EQ(Collected(1), 2);
    EXPECT_EQ(screen->NCP_LIDO->text(), Code(kFirstNc + 1));
}

TEST_F(ColetaTest, DatabaseErrorsAreShownOnEveryPath)
{
    InsertPlaca(db.get(), 1, 1, QStringLiteral("PL01"), 2, 2, 1);
    TFColeta_Cad* screen = OpenScreen();
    Scan(screen->PLACA_LIDO, QStringLiteral("PL01"));

    // A failed write keeps the scanned code and the plate model.
    station.Exec(QStringLiteral("CREATE TRIGGER recusa BEFORE UPDATE ON Placa_Poco "
                                "BEGIN SELECT RAISE(ABORT, 'gravacao recusada'); END"));
    Scan(screen->NCP_LIDO, Code(kFirstNc));
    EXPECT_EQ(presenter.Take(), QStringList{QStringLiteral("Erro ao Incluir os dados.\r\n"
                                                           "Msg. Erro : gravacao recusada")});
    EXPECT_EQ(screen->NCP_LIDO->text(), Code(kFirstNc));
    EXPECT_EQ(screen->Placa().NextFreeIndex(), 0);

    station.Exec(QStringLiteral("ALTER TABLE Plantio RENAME TO Plantio_Fora"));
    Scan(screen->NCP_LIDO, Code(kFirstNc));
    ASSERT_EQ(presenter.Count(), 1);
    EXPECT_TRUE(presenter.Last().Text.startsWith(
        QStringLiteral("Erro ao consultar os dados (Valid_NCP).\r\nMsg. Erro : ")));
    EXPECT_EQ(Collected(1), 0);

    // Errors of the Enter key (reading a changed plate) and of the opening are shown by the
    // screen, not raised through Qt's event delivery.
    station.Exec(QStringLiteral("ALTER TABLE Placa RENAME TO Placa_Fora"));
    screen->PLACA_LIDO->setText(QStringLiteral("PL02"));
    presenter.Clear();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    EXPECT_NO_THROW(static_cast<QObject*>(screen)->eventFilter(screen->NCP_LIDO, &enter));
    EXPECT_EQ(presenter.Count(), 1);
    EXPECT_FALSE(screen->Confirming);

    TFColeta_Cad opening;
    DriveLogin({Type(QStringLiteral("OPER"), QStringLiteral("1234"))});
    presenter.Clear();
    QShowEvent show;
    EXPECT_NO_THROW(static_cast<QObject*>(&opening)->event(&show));
    EXPECT_EQ(presenter.Count(), 1);
}

TEST_F(ColetaTest, CellColours)
{
    InsertPlaca(db.get(), 1, 1, QStringLiteral("PL01"), 2, 3, 2);
    CollectWell(db.get(), 1, 1, kFirstNc, operatorId, kNow);
    TFColeta_Cad* screen = OpenScreen();
    Scan(screen->PLACA_LIDO, QStringLiteral("PL01"));
    const QImage image = screen->SG->viewport()->grab().toImage();
    auto pixel = [&](int row, int column) {
        const QRect rect = screen->SG->visualItemRect(screen->SG->item(row, column));
        return image.pixelColor(rect.topLeft() + QPoint(3, 3));
    };
    EXPECT_EQ(pixel(1, 1), QColor(0, 128, 0)); // A1 collected
    EXPECT_EQ(pixel(2, 1), QColor(Qt::white)); // B1 free
    EXPECT_EQ(pixel(1, 3), QColor(255, 0, 0)); // A3 control
    EXPECT_EQ(pixel(2, 3), QColor(255, 0, 0)); // B3 control
}

// ---- deletion

TEST_F(ColetaTest, WholePlateDeletionArchivesAndFreesTogether)
{
    InsertPlaca(db.get(), 1, 1, QStringLiteral("PL01"), 3, 3, 2);
    for (int seq = 1; seq <= 5; ++seq)
        CollectWell(db.get(), 1, seq, kFirstNc + seq, operatorId, kNow);
    TFColeta_Cad* screen = OpenScreen();
    Apply(screen, 1);
    EXPECT_EQ(screen->OperationMode, TFColeta_Cad::kExclusao);
    Scan(screen->PLACA_LIDO, QStringLiteral("PL01"));
    EXPECT_EQ(screen->LReg->text(), QStringLiteral("Registros: 5"));
    ConfirmDeletion(screen);

    ASSERT_EQ(presenter.Count(), 1);
    const TXMessageRequest question = presenter.Last();
    EXPECT_EQ(question.Text, QStringLiteral("Confirma a Exclusão dos dados de coleta da Placa?"));
    EXPECT_EQ(question.Caption, QStringLiteral(" Exclusão de dados de Coleta. "));
    EXPECT_EQ(question.DefaultButton, TXMessageButton::No);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Placa_Poco_Exc WHERE USER_COLETA_EXC = "
                                   "%1 AND DATA_COLETA_EXC = '%2' AND USER_COLETA = %3")
                        .arg(adminId)
                        .arg(kNow)
                        .arg(operatorId)),
              5);
    EXPECT_EQ(Collected(1), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Placa_Poco WHERE STATUS_POCO <> 0 OR "
                                   "USER_COLETA IS NOT NULL OR DATA_COLETA IS NOT NULL")),
              0);
    EXPECT_EQ(screen->PN_Poco_Falta->text(), QStringLiteral("7"));
    EXPECT_EQ(mainForm->AppConfig->OperatorId, operatorId);

    // Nothing left: the next confirm stops at the check.
    presenter.Clear();
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Take(),
              QStringList{QStringLiteral("Não há nenhum poço coletado na Placa.")});
}

TEST_F(ColetaTest, LastWellDeletionGoesBackwards)
{
    InsertPlaca(db.get(), 1, 1, QStringLiteral("PL01"), 3, 2, 1);
    for (int seq = 1; seq <= 3; ++seq)
        CollectWell(db.get(), 1, seq, kFirstNc + seq, operatorId, kNow);
    // A well without a label is still one well, not the whole plate.
    station.Exec(QStringLiteral("UPDATE Placa_Poco SET POCO = '' WHERE POCO = 'C1'"));
    TFColeta_Cad* screen = OpenScreen();
    Apply(screen, 2);
    Scan(screen->PLACA_LIDO, QStringLiteral("PL01"));
    ConfirmDeletion(screen);
    EXPECT_EQ(presenter.Requests().first().Text,
              QStringLiteral("Confirma a Exclusão do dado de coleta do poço []?"));
    EXPECT_TRUE(Well(1, QString(), "NC_PLANTIO").isEmpty());
    EXPECT_EQ(Collected(1), 2);

    // The same second twice would clash in the archive's key.
    SetNowSource([] { return QDateTime(QDate(2024, 5, 6), QTime(7, 8, 10)); });
    presenter.Clear();
    // Enter while the next operation is being chosen acts on the one in force.
    screen->BSetOper->click();
    screen->SetRGOperIndex(1);
    presenter.QueueAnswer(TXMessageButton::Yes);
    DriveLogin({Type(QStringLiteral("ADMIN"), QStringLiteral("4321"))});
    QTest::keyClick(screen->NCP_LIDO, Qt::Key_Return);
    EXPECT_EQ(presenter.Take(),
              QStringList{QStringLiteral("Confirma a Exclusão do dado de coleta do poço [B1]?")});
    EXPECT_TRUE(Well(1, QStringLiteral("B1"), "NC_PLANTIO").isEmpty());
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Placa_Poco_Exc")), 2);
    EXPECT_EQ(screen->PN_Poco_Falta->text(), QStringLiteral("4"));

    // No, or no authorising login: nothing changes.
    screen->SetRGOperIndex(2);
    screen->BSetOper->click();
    Scan(screen->PLACA_LIDO, QStringLiteral("PL01"));
    presenter.QueueAnswer(TXMessageButton::No);
    screen->BConfirm->click();
    presenter.QueueAnswer(TXMessageButton::Yes);
    DriveLogin({[](TFLogin*) {}}); // the close box
    screen->BConfirm->click();
    EXPECT_EQ(Collected(1), 1);
    EXPECT_EQ(presenter.Count(), 2);
}

TEST_F(ColetaTest, DeletionRefusals)
{
    InsertPlaca(db.get(), 1, 1, QStringLiteral("VAZIA"), 2, 2, 1);
    InsertPlaca(db.get(), 2, 2, QStringLiteral("TRANS"), 2, 2, 1);
    CollectWell(db.get(), 2, 1, kFirstNc + 1, operatorId, kNow, kHere);
    CollectWell(db.get(), 2, 2, kFirstNc + 2, operatorId, kNow);
    InsertPlaca(db.get(), 3, 3, QStringLiteral("ULTIMA"), 2, 2, 1);
    CollectWell(db.get(), 3, 1, kFirstNc + 3, operatorId, kNow, kHere);
    InsertPlaca(db.get(), 4, 4, QStringLiteral("OUTRA"), 2, 2, 1);
    CollectWell(db.get(), 4, 1, kFirstNc + 4, operatorId, kNow, QStringLiteral("PC2"));
    TFColeta_Cad* screen = OpenScreen();

    const struct
    {
        int item;
        const char* code;
        QString message;
        int idPlaca; // the plate model afterwards
    } cases[] = {
        {2, "VAZIA", QStringLiteral("Não há nenhum poço coletado na Placa."), 1},
        {1, "TRANS", PlateSent(QStringLiteral("TRANS")), 2},
        {2, "ULTIMA", WellSent(QStringLiteral("A1")), 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        Apply(screen, c.item);
        presenter.Clear();
        Scan(screen->PLACA_LIDO, QString::fromLatin1(c.code));
        EXPECT_EQ(presenter.Take(), QStringList{c.message});
        EXPECT_EQ(screen->Placa().IdPlaca, c.idPlaca);
        // In deletion mode the focus is not held.
        EXPECT_EQ(QApplication::focusWidget(), screen->NCP_LIDO);
        // The same code confirmed again is refused again, without a question.
        presenter.QueueAnswer(TXMessageButton::Yes);
        screen->BConfirm->click();
        EXPECT_EQ(presenter.Take(), QStringList{c.message});
    }

    // Another computer's plate is refused and the plate model stays.
    presenter.Clear();
    Scan(screen->PLACA_LIDO, QStringLiteral("OUTRA"));
    EXPECT_EQ(presenter.Take(),
              QStringList{QStringLiteral(
                  "A Placa  [OUTRA] iniciou a coleta no computador [PC2]. \r\nOs dados de "
                  "coleta de outro computador não podem ser excluídos neste computador.")});
    EXPECT_EQ(screen->Placa().IdPlaca, 3);
    screen->BConfirm->click();
    EXPECT_EQ(presenter.Count(), 1);

    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Placa_Poco_Exc")), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Placa_Poco WHERE NC_PLANTIO IS NOT "
                                   "NULL")),
              4);
}

TEST_F(ColetaTest, TransmittedMeanwhileIsNeitherArchivedNorFreed)
{
    InsertPlaca(db.get(), 1, 1, QStringLiteral("PL01"), 2, 2, 1);
    CollectWell(db.get(), 1, 1, kFirstNc + 1, operatorId, kNow);
    CollectWell(db.get(), 1, 2, kFirstNc + 2, operatorId, kNow);
    TFColeta_Cad* screen = OpenScreen();
    for (int item : {1, 2}) {
        SCOPED_TRACE(item);
        Apply(screen, item);
        Scan(screen->PLACA_LIDO, QStringLiteral("PL01"));
        station.Exec(QStringLiteral("UPDATE Placa_Poco SET ORIGEM_COLETA = '%1' WHERE POCO = "
                                    "'B1'")
                         .arg(kHere));
        presenter.Clear();
        ConfirmDeletion(screen);
        EXPECT_EQ(presenter.Last().Text,
                  item == 1 ? PlateSent(QStringLiteral("PL01")) : WellSent(QStringLiteral("B1")));
        EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Placa_Poco_Exc")), 0);
        EXPECT_EQ(Collected(1), 2);
        EXPECT_TRUE(screen->Placa().AnyTransmitted());
        station.Exec(QStringLiteral("UPDATE Placa_Poco SET ORIGEM_COLETA = NULL"));
    }
}

TEST_F(ColetaTest, QuotedWellLabelAndFailedResetLeaveNoHalfDeletion)
{
    InsertPlaca(db.get(), 1, 1, QStringLiteral("PL01"), 2, 2, 1);
    station.Exec(QStringLiteral("UPDATE Placa_Poco SET POCO = 'B''1' WHERE POCO = 'B1'"));
    CollectWell(db.get(), 1, 1, kFirstNc + 1, operatorId, kNow);
    CollectWell(db.get(), 1, 2, kFirstNc + 2, operatorId, kNow);
    TFColeta_Cad* screen = OpenScreen();
    Apply(screen, 2);
    Scan(screen->PLACA_LIDO, QStringLiteral("PL01"));

    station.Exec(QStringLiteral("CREATE TRIGGER reset_falha BEFORE UPDATE ON Placa_Poco BEGIN "
                                "SELECT RAISE(ABORT, 'reset recusado'); END"));
    ConfirmDeletion(screen);
    EXPECT_EQ(presenter.Last().Text,
              QStringLiteral("Erro ao Excluir os dados.\r\nMsg. Erro : reset recusado"));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM Placa_Poco_Exc")), 0);
    EXPECT_EQ(Collected(1), 2);

    station.Exec(QStringLiteral("DROP TRIGGER reset_falha"));
    presenter.Clear();
    ConfirmDeletion(screen);
    EXPECT_EQ(presenter.Take(),
              QStringList{QStringLiteral("Confirma a Exclusão do dado de coleta do poço [B'1]?")});
    EXPECT_EQ(station.Scalar(QStringLiteral("SELECT POCO FROM Placa_Poco_Exc")),
              QStringLiteral("B'1"));
    EXPECT_EQ(station.Scalar(QStringLiteral("SELECT NC_PLANTIO FROM Placa_Poco_Exc")),
              QString::number(kFirstNc + 2));
    EXPECT_EQ(Collected(1), 1);
}

} // namespace
