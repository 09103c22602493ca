#include "registerscreens.h"

#include "tfcoleta_cad.h"
#include "tfmain.h"
#include "tfplantio_cad.h"

void RegisterRegistrationScreens(TFMain* mainForm)
{
    mainForm->RegisterWorkScreen(TWorkAction::Cadastro, 0, [] { OpenChildForm<TFPlantio_Cad>(); });
    mainForm->RegisterWorkScreen(TWorkAction::Cadastro, 1, [] { OpenChildForm<TFColeta_Cad>(); });
}
