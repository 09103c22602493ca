#include "tfmain.h"

#include "appschema.h"
#include "data/txconnection.h"
#include "shippedsounds.h"
#include "tappconfig.h"
#include "tdm.h"
#include "tfconfigdb.h"
#include "txapplication.h"
#include "txsoundplayer.h"
#include "xfontscale.h"
#include "xmessages.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>

TFMain* FMain = nullptr;

namespace {

TFMain*& RegisteredMainForm()
{
    static TFMain* form = nullptr;
    return form;
}

std::function<QDateTime()>& NowSource()
{
    static std::function<QDateTime()> source;
    return source;
}

const int kPanelWidths[3] = {100, 200, 400};

void StartAlertSound(TAlertSound sound)
{
    TXMediaPlayer* player = FMain ? FMain->AppConfig->MPlayer : nullptr;
    if (!player || player->FileName().isEmpty())
        return;
    if (sound == TAlertSound::Rejected) {
        player->Play();
        return;
    }
    // Beside the alert sound, so a lab silences these by choosing one in a folder without them.
    const QString name = sound == TAlertSound::Accepted ? kAcceptedSoundName : kCompleteSoundName;
    const QString path = QFileInfo(player->FileName()).dir().filePath(name);
    if (QFileInfo::exists(path))
        player->PlayFile(path);
}

} // namespace

TFMain::TFMain(QWidget* parent)
    : QMainWindow(parent), AppConfig(new TAppConfig), m_appConfig(AppConfig)
{
    setObjectName(QStringLiteral("FMain"));
    setWindowTitle(QStringLiteral("Tressalin  "));
    resize(1024, 768);
    MdiArea = new QMdiArea(this);
    MdiArea->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(MdiArea);
    MPlayer = new TXSoundPlayer(this);
    CreateStatusBar();
    CreateActions();
    CreateMenu();
    AppConfig->ProgramVersion = kProgramVersion;
    AppConfig->DatabaseVersion = kDatabaseVersion;
    FMain = this;
    RegisterMainForm(this);
}

TFMain::~TFMain()
{
    // Screens may still look at AppConfig while they die with the MDI area.
    delete MdiArea;
    MdiArea = nullptr;
    if (FMain == this)
        FMain = nullptr;
    if (RegisteredMainForm() == this)
        RegisteredMainForm() = nullptr;
}

void TFMain::CreateStatusBar()
{
    StatusBar = statusBar();
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    const QString initial[3] = {QStringLiteral("Conexao"), QString(),
                                QStringLiteral("Banco de Dados")};
    for (int i = 0; i < 3; ++i) {
        Panels[i] = new QLabel(initial[i], StatusBar);
        Panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        Panels[i]->setFixedWidth(Scaled(kPanelWidths[i]));
        Panels[i]->setFrameShape(QFrame::Panel);
        Panels[i]->setFrameShadow(QFrame::Sunken);
        StatusBar->addWidget(Panels[i]);
    }
}

void TFMain::CreateActions()
{
    auto make = [this](const char* name, const QString& caption) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    LCadastro = make("LCadastro", QStringLiteral("Cadastro"));
    LCONS_CADASTRO = make("LCONS_CADASTRO", QStringLiteral("Cadastro"));
    LCONS_RESUMO = make("LCONS_RESUMO", QStringLiteral("Resumo"));
    LCONS_PLACA = make("LCONS_PLACA", QStringLiteral("Mapa da Placa"));
    LCONS_PLACA->setVisible(false);
    LConfigConexao = make("LConfigConexao", QStringLiteral("Configurar"));
    LConection = make("LConection", QStringLiteral("Conectar"));
    LAPPCONFIG = make("LAPPCONFIG", QStringLiteral("Configuração"));
    Sair1 = make("Sair1", QStringLiteral("Sair"));
    // The direct connect entry (Conectar1) stays hidden; operators use the connection screen.
    LConection->setVisible(false);

    // Handlers that may raise go through the default error display where they raise.
    auto on = [this](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this, TXApplication::Guarded(handler));
    };
    on(LCadastro, [this] { RunWorkAction(TWorkAction::Cadastro); });
    on(LCONS_CADASTRO, [this] { RunWorkAction(TWorkAction::ConsultaCadastro); });
    on(LCONS_RESUMO, [this] { RunWorkAction(TWorkAction::ConsultaResumo); });
    on(LCONS_PLACA, [this] { RunWorkAction(TWorkAction::ConsultaPlaca); });
    on(LConfigConexao, [this] { OpenConnectionScreen(); });
    on(LConection, [this] { LConectionExecute(); });
    on(LAPPCONFIG, [this] {
        if (m_configScreen)
            m_configScreen();
    });
    connect(Sair1, &QAction::triggered, this, &QWidget::close);
}

void TFMain::CreateMenu()
{
    MM = menuBar();
    MM->setObjectName(QStringLiteral("MM"));
    QMenu* cadastro = MM->addMenu(QStringLiteral("Cadastro"));
    cadastro->addAction(LCadastro);
    QMenu* consulta = MM->addMenu(QStringLiteral("Consulta"));
    consulta->addAction(LCONS_CADASTRO);
    consulta->addAction(LCONS_RESUMO);
    consulta->addAction(LCONS_PLACA);
    QMenu* configuracao = MM->addMenu(QStringLiteral("Configuração"));
    QMenu* conexao = configuracao->addMenu(QStringLiteral("Conexão"));
    conexao->addAction(LConfigConexao);
    conexao->addAction(LConection);
    configuracao->addAction(LAPPCONFIG);
    MM->addAction(Sair1);
}

void TFMain::RegisterWorkScreen(TWorkAction action, int operation, std::function<void()> opener)
{
    m_workScreens[{action, operation}] = std::move(opener);
}

void TFMain::RegisterConfigScreen(std::function<void()> opener)
{
    m_configScreen = std::move(opener);
}

void TFMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_startQueued)
        return;
    m_startQueued = true;
    // Run after the window is on screen, so the boxes of a failed start have a parent to sit on.
    QMetaObject::invokeMethod(this, TXApplication::Guarded([this] { StartUp(); }),
                              Qt::QueuedConnection);
}

void TFMain::StartUp()
{
    m_started = true;
    DM->ResetConnectionString();
    AppConfig->Connection = DM->Conn;
    AppConfig->MPlayer = MPlayer;
    connect(DM, &TDM::ConnectionLost, this, [this] {
        AppConfig->SetLoaded(false);
        AppConfig->ResetOperation();
        CloseDataScreens();
    });
    connect(DM, &TDM::Disconnecting, this, &TFMain::CloseDataScreens);
    if (DM->ConnectVerified(false)) {
        // An error here reaches the default error display and skips the status refresh.
        AppConfig->SetLoaded(true);
    } else {
        OpenConnectionScreen();
    }
    RefreshMainStatus();
}

void TFMain::OpenConnectionScreen()
{
    OpenChildForm<TFConfigDB>();
}

void TFMain::RunWorkAction(TWorkAction action)
{
    const auto found = m_workScreens.find({action, AppConfig->info_db});
    if (found != m_workScreens.end() && found->second)
        found->second();
}

void TFMain::LConectionExecute()
{
    if (!DM->IsConnected()) {
        if (!DM->DataSourceExists()) {
            ShowErrorMessage(QStringLiteral("Selecione o Banco de Dados a conectar."));
            return;
        }
        DM->Conn->Open();
        LConection->setText(QStringLiteral("Desconectar"));
        return;
    }
    if (!DM->SetConnected(false))
        return;
    LConection->setText(QStringLiteral("Conectar"));
}

void TFMain::CloseDataScreens()
{
    // A screen left open would show, and could act on, rows of a connection that is gone.
    QStringList closed;
    for (QMdiSubWindow* sub : MdiArea->subWindowList()) {
        if (!sub->widget() || sub->widget()->objectName() == QLatin1String("FConfigDB"))
            continue;
        closed << sub->widget()->windowTitle();
        sub->close();
    }
    if (!closed.isEmpty())
        ShowInfoMessage(QStringLiteral("Desconectado do Banco de Dados; telas fechadas: %1.")
                            .arg(closed.join(QStringLiteral(", "))));
}

void TFMain::closeEvent(QCloseEvent* event)
{
    MdiArea->closeAllSubWindows();
    event->accept();
}

void RegisterMainForm(TFMain* mainForm)
{
    RegisteredMainForm() = mainForm;
    // The process-wide formats the original runtime used: dd/mm/yyyy and HH:MM:SS.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
}

QMdiSubWindow* FindChildForm(const char* className)
{
    TFMain* form = RegisteredMainForm();
    if (!form || !form->MdiArea)
        return nullptr;
    const QList<QMdiSubWindow*> children = form->MdiArea->subWindowList();
    for (QMdiSubWindow* sub : children) {
        if (sub->widget() && qstrcmp(sub->widget()->metaObject()->className(), className) == 0)
            return sub;
    }
    return nullptr;
}

QMdiSubWindow* AddChildForm(QWidget* form)
{
    TFMain* main = RegisteredMainForm();
    Q_ASSERT(main);
    // Screens have a fixed single border with the system menu only; the report
    // screens also offer maximise.
    Qt::WindowFlags flags = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (form->property(kMaximizableProperty).toBool())
        flags |= Qt::WindowMaximizeButtonHint;
    const QSize designed = form->size();
    QMdiSubWindow* sub = main->MdiArea->addSubWindow(form, flags);
    // A screen that may be resized opens at its size, within the room the main window has
    // (the sub-window alone would take the screen's minimum).
    if (form->property(kMaximizableProperty).toBool()) {
        const QStyle* style = main->MdiArea->style();
        const int frame = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
        const QSize border(2 * frame, 2 * frame + style->pixelMetric(QStyle::PM_TitleBarHeight));
        sub->resize((designed + border).boundedTo(main->MdiArea->viewport()->size()));
    }
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(QIcon());
    return sub;
}

void CloseChildForm(QWidget* form)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        sub->close();
    else
        form->close();
}

bool IsChildOpen(const QString& componentName)
{
    if (!FMain)
        return false;
    const QList<QMdiSubWindow*> children = FMain->MdiArea->subWindowList();
    for (QMdiSubWindow* sub : children) {
        if (sub->widget() && sub->widget()->objectName() == componentName)
            return true;
    }
    return false;
}

void RefreshMainStatus()
{
    if (!FMain)
        return;
    TFMain& main = *FMain;
    if (DM && DM->IsConnected()) {
        main.Panels[0]->setText(QStringLiteral("Conectado"));
        main.Panels[1]->setText(main.AppConfig->maquina);
        main.Panels[2]->setText(DM->DatabasePath());
    } else {
        main.Panels[0]->setText(QStringLiteral("Desconectado"));
        main.Panels[2]->setText(QString());
    }
    main.LCONS_PLACA->setVisible(main.AppConfig->info_db == 1);
    main.setWindowTitle(main.AppConfig->MainTitle());
}

QString NowAsText()
{
    const QDateTime now = NowSource() ? NowSource()() : QDateTime::currentDateTime();
    return now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void SetNowSource(std::function<QDateTime()> source)
{
    NowSource() = std::move(source);
}

void PlayAlertSound(TAlertSound sound)
{
    try {
        StartAlertSound(sound);
    } catch (...) {
        // The scan flow goes on; a sound is never worth an error of its own.
    }
}

void ShowAlert(const QString& text, TAlertSound sound)
{
    if (FMain)
        emit FMain->AlertShown(text, sound);
    std::exception_ptr soundError;
    try {
        StartAlertSound(sound);
    } catch (...) {
        soundError = std::current_exception();
    }
    // The alert sounds again for every code typed at the box: it was not recorded.
    ShowScanError(text, [] { PlayAlertSound(TAlertSound::Rejected); });
    if (soundError)
        std::rethrow_exception(soundError);
}
