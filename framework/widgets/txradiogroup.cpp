#include "txradiogroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

TXRadioGroup::TXRadioGroup(const QString& caption, const QStringList& items, int columns,
                           QWidget* parent)
    : QGroupBox(caption, parent), m_buttons(new QButtonGroup(this))
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    const int perRow = columns > 0 ? columns : 1;
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_buttons->addButton(button, i);
        layout->addWidget(button, i / perRow, i % perRow);
    }
    connect(m_buttons, &QButtonGroup::idClicked, this, &TXRadioGroup::Clicked);
}

int TXRadioGroup::ItemIndex() const
{
    return m_buttons->checkedId();
}

void TXRadioGroup::SetItemIndex(int index)
{
    if (QAbstractButton* button = m_buttons->button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; lift that to clear the choice.
    if (QAbstractButton* checked = m_buttons->checkedButton()) {
        m_buttons->setExclusive(false);
        checked->setChecked(false);
        m_buttons->setExclusive(true);
    }
}

int TXRadioGroup::Count() const
{
    return int(m_buttons->buttons().size());
}

QRadioButton* TXRadioGroup::Button(int index) const
{
    return qobject_cast<QRadioButton*>(m_buttons->button(index));
}
