#pragma once

#include "txcomboboxstrings.h"

#include <QComboBox>

/**
 * A combo box whose items go through Items(), which never stores an empty text
 * (see TXComboBoxStrings). Fill it through Items(), not addItem().
 */
class TXComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit TXComboBox(QWidget* parent = nullptr) : QComboBox(parent), m_items(*this) {}

    TXComboBoxStrings& Items() noexcept { return m_items; }
    const TXComboBoxStrings& Items() const noexcept { return m_items; }

private:
    TXComboBoxStrings m_items;
};
