#pragma once

#include "tnumberedit.h"

/** The numeric edit the screens place; behaves exactly as TNumberEdit. */
class TXNumEdit : public TNumberEdit
{
    Q_OBJECT

public:
    explicit TXNumEdit(QWidget* parent = nullptr) : TNumberEdit(parent) {}
};
