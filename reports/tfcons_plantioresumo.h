#pragma once

#include "tfcons_base.h"

/** Report "Plantio Resumo": One row per sub-batch with at least one planting: planned, planted,
 * transmitted and still to transmit (empty, not 0, when none). */
class TFCons_PlantioResumo : public TFCons_Base
{
    Q_OBJECT
public:
    explicit TFCons_PlantioResumo(QWidget* parent = nullptr);

    static TReportDefinition Definition();
};
