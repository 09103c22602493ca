#pragma once

#include "tfcons_base.h"

/** Report "Coleta Resumo": One row per plate with at least one collected well: collected,
 * transmitted and still to transmit (empty, not 0, when none). */
class TFCons_ColetaResumo : public TFCons_Base
{
    Q_OBJECT
public:
    explicit TFCons_ColetaResumo(QWidget* parent = nullptr);

    static TReportDefinition Definition();
};
