#include "registerscreens.h"

#include "tfmain.h"
#include "tfplantio_cad.h"

void RegisterRegistrationScreens(TFMain* mainForm)
{
    mainForm->RegisterWorkScreen(TWorkAction::Cadastro, 0, [] { OpenChildForm<TFPlantio_Cad>(); });
}
