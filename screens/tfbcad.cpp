#include "tfbcad.h"

#include "data/txquery.h"
#include "gridexport.h"
#include "tfmain.h"
#include "txcombobox.h"
#include "txnumedit.h"
#include "xcolours.h"
#include "xfontscale.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QToolButton>

namespace {

QToolButton* FlatButton(const QString& name, const QString& caption, const QColor& colour,
                        QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setAutoRaise(true);
    button->setFixedSize(Scaled(QSize(80, 25)));
    // A speed button never takes the focus from the field a scan is meant for.
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(BoldTextStyle(colour));
    return button;
}

} // namespace

TFieldKind FieldKindOf(const QWidget* control)
{
    // A numeric edit is a line edit underneath: test it first.
    if (qobject_cast<const TNumberEdit*>(control))
        return TFieldKind::NumEdit;
    if (qobject_cast<const QLineEdit*>(control))
        return TFieldKind::Edit;
    if (qobject_cast<const TXComboBox*>(control))
        return TFieldKind::XComboBox;
    if (qobject_cast<const QComboBox*>(control))
        return TFieldKind::ComboBox;
    return TFieldKind::None;
}

bool FieldHasValue(const QWidget* control)
{
    switch (FieldKindOf(control)) {
    case TFieldKind::Edit:
        return !static_cast<const QLineEdit*>(control)->text().isEmpty();
    case TFieldKind::NumEdit:
        return true;
    case TFieldKind::XComboBox:
    case TFieldKind::ComboBox: {
        const auto* combo = static_cast<const QComboBox*>(control);
        return (FieldKindOf(control) == TFieldKind::XComboBox && !combo->currentText().isEmpty()) ||
               combo->currentIndex() != -1;
    }
    case TFieldKind::None:
        break;
    }
    return false;
}

TFBCad::TFBCad(int clientWidth, int clientHeight, QWidget* parent) : QWidget(parent)
{
    setFixedSize(Scaled(QSize(clientWidth, clientHeight)));
    BConfirm = FlatButton(QStringLiteral("BConfirm"), QStringLiteral("Confirmar"), kTextGo, this);
    BClose = FlatButton(QStringLiteral("BClose"), QStringLiteral("Fechar"), kTextClose, this);
    connect(BClose, &QToolButton::clicked, this, &TFBCad::BCloseClick);
    PlaceButtons();
}

bool TFBCad::focusNextPrevChild(bool next)
{
    // As on a form of its own: from the last control the focus wraps to the
    // first, never to another screen or the main window.
    QWidget* current = QApplication::focusWidget();
    if (!current || !isAncestorOf(current))
        return QWidget::focusNextPrevChild(next);
    QWidget* candidate = current;
    do {
        candidate = next ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
        const bool takesTab = (candidate->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
        if (isAncestorOf(candidate) && takesTab && candidate->isEnabled() &&
            candidate->isVisibleTo(this) && !candidate->focusProxy()) {
            candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    } while (candidate != current);
    return false;
}

void TFBCad::PlaceButtons()
{
    const int margin = Scaled(6);
    BClose->move(width() - margin - BClose->width(), height() - margin - BClose->height());
    BConfirm->move(BClose->x() - BConfirm->width(), BClose->y());
}

void TFBCad::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceButtons();
}

void TFBCad::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TFBCad::FormShow()
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->move(sub->x(), 0);
}

bool TFBCad::ValidateField(QWidget*)
{
    return true;
}

QWidget* TFBCad::FindFieldControl(const QString& name) const
{
    const QList<QWidget*> widgets = findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (widget->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return widget;
    }
    return nullptr;
}

bool TFBCad::ValidateFields()
{
    for (const QString& name : std::as_const(FieldNames)) {
        QWidget* control = FindFieldControl(name);
        if (control && FieldKindOf(control) != TFieldKind::None && !ValidateField(control))
            return false;
    }
    return true;
}

void TFBCad::BuildFieldLists(QString& columns, QString& values, bool insertMode)
{
    for (const QString& name : std::as_const(FieldNames)) {
        QWidget* control = FindFieldControl(name);
        if (!control || FieldKindOf(control) == TFieldKind::None)
            continue;
        const bool hasValue = FieldHasValue(control);
        if (insertMode) {
            if (!hasValue)
                continue;
            columns += columns.isEmpty() ? name : QStringLiteral(", ") + name;
            values += values.isEmpty() ? QStringLiteral(":") + name : QStringLiteral(", :") + name;
        } else if (hasValue) {
            columns += (columns.isEmpty() ? QString() : QStringLiteral(", ")) + name +
                       QStringLiteral(" =:") + name;
        } else if (columns.isEmpty()) {
            columns = name + QStringLiteral(" = null");
        } else {
            columns += QStringLiteral(", ") + name + QStringLiteral(" = null ");
        }
    }
}

void TFBCad::SetFieldParameters(TXCommand* command)
{
    for (const QString& name : std::as_const(FieldNames)) {
        QWidget* control = FindFieldControl(name);
        switch (control ? FieldKindOf(control) : TFieldKind::None) {
        case TFieldKind::Edit:
            if (const QString text = static_cast<QLineEdit*>(control)->text(); !text.isEmpty())
                command->ParamByName(name).SetString(text);
            break;
        case TFieldKind::NumEdit: {
            const auto* edit = static_cast<TNumberEdit*>(control);
            if (edit->EntryRequired() == TNumberEditType::floatingpointvalue)
                command->ParamByName(name).SetFloat(edit->Value());
            else
                command->ParamByName(name).SetInteger(static_cast<int>(edit->Value()));
            break;
        }
        case TFieldKind::XComboBox:
        case TFieldKind::ComboBox: {
            const auto* combo = static_cast<QComboBox*>(control);
            if (FieldKindOf(control) == TFieldKind::XComboBox && !combo->currentText().isEmpty())
                command->ParamByName(name).SetString(combo->currentText());
            else if (combo->currentIndex() != -1)
                command->ParamByName(name).SetInteger(combo->currentIndex());
            break;
        }
        case TFieldKind::None:
            break;
        }
    }
}

void TFBCad::BCloseClick()
{
    CloseChildForm(this);
}

bool TFBCad::ExportGridToXLS(const QString& fileName, TXDBGrid* grid, TXXLS* xls)
{
    return ExportQueryGridToXLS(fileName, grid, xls);
}
