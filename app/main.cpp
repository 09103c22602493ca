#include "clientcommandline.h"
#include "registerreports.h"
#include "registerscreens.h"
#include "tdm.h"
#include "tfappconfig.h"
#include "tfmain.h"
#include "txapplication.h"
#include "xobject.h"

#include <memory>
#include <optional>

int main(int argc, char** argv)
{
    // --version and --help answer before anything needs a display.
    if (const std::optional<int> answered = AnswerClientCommandLine(argc, argv))
        return *answered;
    TXFramework framework;
    TXApplication app(argc, argv);
    TXApplication::setApplicationName(QStringLiteral("Tressalin_Cliente"));
    auto mainForm = std::make_unique<TFMain>();
    auto dataModule = std::make_unique<TDM>();
    DM = dataModule.get();
    mainForm->RegisterConfigScreen([] { OpenChildForm<TFAppConfig>(); });
    RegisterRegistrationScreens(mainForm.get());
    RegisterReportScreens(mainForm.get());
    mainForm->showMaximized();
    const int result = TXApplication::exec();
    // The screens use the data module until they die with the main window.
    mainForm.reset();
    DM = nullptr;
    dataModule.reset();
    return result;
}
