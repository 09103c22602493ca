#pragma once

#include "tfcons_base.h"

/** Report "Coleta Cadastrado": One row per collected well with its plate, planting, user and
 * transmission status; the third choice lists the removed well records. */
class TFCons_ColetaCad : public TFCons_Base
{
    Q_OBJECT
public:
    explicit TFCons_ColetaCad(QWidget* parent = nullptr);

    static TReportDefinition Definition();
};
