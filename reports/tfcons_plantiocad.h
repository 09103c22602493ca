#pragma once

#include "tfcons_base.h"

/** Report "Plantio Cadastrado": One row per planting with its sub-batch, user and transmission
 * status; the third choice lists the deleted plantings. */
class TFCons_PlantioCad : public TFCons_Base
{
    Q_OBJECT
public:
    explicit TFCons_PlantioCad(QWidget* parent = nullptr);

    static TReportDefinition Definition();
};
