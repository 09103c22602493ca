#include "registerreports.h"

#include "tfcons_coletacad.h"
#include "tfcons_coletaresumo.h"
#include "tfcons_mapaplaca.h"
#include "tfcons_plantiocad.h"
#include "tfcons_plantioresumo.h"
#include "tfmain.h"

namespace {

constexpr int kPlantio = 0;
constexpr int kColeta = 1;

} // namespace

void RegisterReportScreens(TFMain* mainForm)
{
    mainForm->RegisterWorkScreen(TWorkAction::ConsultaCadastro, kPlantio,
                                 [] { OpenChildForm<TFCons_PlantioCad>(); });
    mainForm->RegisterWorkScreen(TWorkAction::ConsultaCadastro, kColeta,
                                 [] { OpenChildForm<TFCons_ColetaCad>(); });
    mainForm->RegisterWorkScreen(TWorkAction::ConsultaResumo, kPlantio,
                                 [] { OpenChildForm<TFCons_PlantioResumo>(); });
    mainForm->RegisterWorkScreen(TWorkAction::ConsultaResumo, kColeta,
                                 [] { OpenChildForm<TFCons_ColetaResumo>(); });
    // Plates exist on collection stations only.
    mainForm->RegisterWorkScreen(TWorkAction::ConsultaPlaca, kColeta,
                                 [] { OpenChildForm<TFCons_MapaPlaca>(); });
}
