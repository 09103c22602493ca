#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

/**
 * A captioned group of radio buttons laid out in columns (filled row by row),
 * one of which may be chosen. ItemIndex is -1 when none is.
 */
class TXRadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    TXRadioGroup(const QString& caption, const QStringList& items, int columns,
                 QWidget* parent = nullptr);

    int ItemIndex() const;
    /** -1 (or an index outside the items) chooses none. */
    void SetItemIndex(int index);
    int Count() const;
    QRadioButton* Button(int index) const;

signals:
    /** The operator chose an item (not emitted by SetItemIndex). */
    void Clicked(int index);

private:
    QButtonGroup* m_buttons;
};
