#include "data/txconnection.h"
#include "data/txquery.h"
#include "tfbcad.h"
#include "txcombobox.h"
#include "txnumedit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

/** A data screen whose field check refuses the controls named in refuse and logs every call. */
class ProbeScreen : public TFBCad
{
public:
    ProbeScreen() : TFBCad(300, 200) {}
    bool ValidateField(QWidget* control) override
    {
        checked << control->objectName();
        return !refuse.contains(control->objectName());
    }
    template <class T> T* Add(const char* name)
    {
        auto* control = new T(this);
        control->setObjectName(QString::fromLatin1(name));
        return control;
    }
    QStringList checked;
    QStringList refuse;
};

TEST(DataScreenBase, FieldListsInBothModes)
{
    ProbeScreen screen;
    screen.Add<QLineEdit>("a")->setText(u"x"_s);
    screen.Add<QLineEdit>("b");
    auto* c = screen.Add<QComboBox>("c");
    c->addItems({u"EAN-8"_s, u"EAN-13"_s});
    c->setCurrentIndex(1);
    screen.Add<QLabel>("label");
    // Names are matched without regard to case; unknown names and other kinds are skipped.
    screen.FieldNames = {"A", "missing", "label", "b", "C"};

    QString columns, values;
    screen.BuildFieldLists(columns, values, true);
    EXPECT_EQ(columns + u'|' + values, u"A, C|:A, :C"_s);
    columns = values = QString();
    screen.BuildFieldLists(columns, values, false);
    EXPECT_EQ(columns + u'|' + values, u"A =:A, b = null , C =:C|"_s);
}

TEST(DataScreenBase, ParametersAreTypedByControlKind)
{
    ProbeScreen screen;
    screen.Add<QLineEdit>("texto")->setText(u"abc"_s);
    screen.Add<QLineEdit>("vazio");
    auto* inteiro = screen.Add<TXNumEdit>("inteiro"); // no data screen has one yet
    inteiro->SetEntryRequired(TNumberEditType::integervalue);
    inteiro->SetValue(42);
    auto* combo = screen.Add<QComboBox>("combo");
    combo->addItems({u"EAN-8"_s, u"EAN-13"_s});
    combo->setCurrentIndex(1);
    auto* xcombo = screen.Add<TXComboBox>("xcombo"); // nor one of these
    xcombo->Items().Add(u"Plantio"_s);
    xcombo->setCurrentIndex(0);
    screen.FieldNames = {"texto", "vazio", "inteiro", "combo", "xcombo"};

    TXCommand command;
    command.SetCommandText(QStringLiteral(
        "UPDATE t SET texto =:texto, vazio =:vazio, inteiro =:inteiro, combo =:combo, "
        "xcombo =:xcombo"));
    command.ParamByName(u"vazio"_s).SetInteger(7);
    screen.SetFieldParameters(&command);

    auto param = [&](const char* name) { return command.ParamByName(QString::fromLatin1(name)); };
    EXPECT_EQ(param("texto").Value, QVariant(u"abc"_s));
    EXPECT_EQ(param("vazio").Value.toInt(), 7); // untouched
    EXPECT_EQ(param("inteiro").DataType, TXParamType::Integer);
    EXPECT_EQ(param("inteiro").Value.toInt(), 42);
    EXPECT_EQ(param("combo").DataType, TXParamType::Integer);
    EXPECT_EQ(param("combo").Value.toInt(), 1);
    EXPECT_EQ(param("xcombo").Value, QVariant(u"Plantio"_s));
}

TEST(DataScreenBase, ValidateFieldsStopsAtTheFirstRefusal)
{
    ProbeScreen screen;
    screen.Add<QLineEdit>("a");
    screen.Add<QLabel>("l");
    screen.Add<QLineEdit>("b");
    screen.Add<QLineEdit>("c");
    screen.FieldNames = {"a", "l", "b", "c"};
    screen.refuse = {"b"};
    EXPECT_FALSE(screen.ValidateFields());
    EXPECT_EQ(screen.checked, (QStringList{"a", "b"}));
}

} // namespace
