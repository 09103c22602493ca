#pragma once

#include <QDateTime>
#include <QDialog>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <functional>
#include <map>
#include <memory>
#include <type_traits>

class QLabel;
class QAction;
class QMenuBar;
class TAppConfig;
class TXMediaPlayer;

/** The sounds a scan's outcome plays. */
enum class TAlertSound { Rejected, Accepted, Complete };

/** The work actions whose screen depends on the station's operation. */
enum class TWorkAction { Cadastro, ConsultaCadastro, ConsultaResumo, ConsultaPlaca };

/**
 * The MDI main window: menu, status bar, title and the connect-at-start flow.
 * It knows the work screens only through openers registered per action and
 * operation, so the shell does not depend on the screens.
 */
class TFMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFMain(QWidget* parent = nullptr);
    ~TFMain() override;

    TAppConfig* const AppConfig; // owned

    QMdiArea* MdiArea = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* Panels[3] = {};
    /** The alert player; the window's own sound player unless replaced before showing. */
    TXMediaPlayer* MPlayer = nullptr;
    QMenuBar* MM = nullptr;

    // The action list AL.
    QAction* LCadastro = nullptr;
    QAction* LCONS_CADASTRO = nullptr;
    QAction* LCONS_RESUMO = nullptr;
    QAction* LCONS_PLACA = nullptr; // collection stations only
    QAction* LConfigConexao = nullptr;
    QAction* LConection = nullptr; // its entry Conectar1 is hidden
    QAction* LAPPCONFIG = nullptr;
    QAction* Sair1 = nullptr;

    /** The screen that action opens for an operation (0 planting, 1 collection). */
    void RegisterWorkScreen(TWorkAction action, int operation, std::function<void()> opener);
    /** The configuration screen opener (LAPPCONFIG). */
    void RegisterConfigScreen(std::function<void()> opener);

signals:
    /** An operator alert is about to be shown (the registration screens show its reason). */
    void AlertShown(const QString& text, TAlertSound sound);

public:
    /** True once the connect-at-start flow has run (tests wait for it). */
    bool Started() const { return m_started; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateStatusBar();
    void CreateActions();
    void CreateMenu();
    void StartUp();
    void OpenConnectionScreen();
    void RunWorkAction(TWorkAction action);
    void LConectionExecute();
    /** Closes every screen but the connection screen, and says which. */
    void CloseDataScreens();

    std::unique_ptr<TAppConfig> m_appConfig;
    std::map<std::pair<TWorkAction, int>, std::function<void()>> m_workScreens;
    std::function<void()> m_configScreen;
    bool m_startQueued = false;
    bool m_started = false;
};

/** The application's main window; null before it exists and after it died. */
extern TFMain* FMain;

/** Remembers the window whose MDI children OpenChildForm searches. */
void RegisterMainForm(TFMain* mainForm);

/** The MDI subwindow holding a screen of that class name, or null. */
QMdiSubWindow* FindChildForm(const char* className);

/**
 * Opens the screen of class T: the existing MDI child of that class when there
 * is one (restored when minimised), otherwise a new one. A form that is not
 * an MDI child (a dialog) is created anew on every call; modal shows it with
 * exec(), and the dialog is freed after it closed (the return is then null).
 */
template <class T> T* OpenChildForm(bool modal = false, bool show = true);

/** True when an MDI child of the main window has exactly that object name. */
bool IsChildOpen(const QString& componentName);

/** Status-bar panels and caption from the connection state and AppConfig. */
void RefreshMainStatus();

/** Current local time as "yyyy-mm-dd hh:mm:ss". */
QString NowAsText();
/** Replaces the clock (tests); an empty function restores the system clock. */
void SetNowSource(std::function<QDateTime()> source);

/**
 * Starts the outcome's sound without waiting; nothing when none is configured or found. Never
 * throws. Rejected plays the configured alert sound; Accepted and Complete play the file of
 * the shipped accepted or completion sound's name (shippedsounds.h) in the alert sound's folder.
 */
void PlayAlertSound(TAlertSound sound);

/**
 * The operator alert: starts the outcome's sound (if any, see PlayAlertSound) without waiting,
 * then shows the text in an error box. The box is shown even when the sound fails; such an
 * error is passed on after the box was closed.
 */
void ShowAlert(const QString& text, TAlertSound sound = TAlertSound::Rejected);

// ---- template implementation

/** A screen with this property set to true gets a maximise button. */
inline constexpr char kMaximizableProperty[] = "tx_maximizable";

/** Adds a new screen widget to the main window's MDI area; the subwindow frees it when closed. */
QMdiSubWindow* AddChildForm(QWidget* form);

/** Closes a screen: its MDI subwindow when it has one (which frees both), else the widget. */
void CloseChildForm(QWidget* form);

template <class T> T* OpenChildForm(bool modal, bool show)
{
    if constexpr (std::is_base_of_v<QDialog, T>) {
        auto dialog = std::make_unique<T>(FMain);
        if (!show)
            return dialog.release();
        if (modal) {
            dialog->exec();
            return nullptr;
        }
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        return dialog.release();
    } else {
        QMdiSubWindow* sub = FindChildForm(T::staticMetaObject.className());
        if (sub) {
            if (sub->isMinimized())
                sub->showNormal();
        } else {
            sub = AddChildForm(new T());
        }
        if (show) {
            sub->show();
            sub->widget()->show();
            if (FMain)
                FMain->MdiArea->setActiveSubWindow(sub);
        }
        return qobject_cast<T*>(sub->widget());
    }
}
