#include "data/txtransaction.h"
#include "logindriver.h"
#include "registerreports.h"
#include "shellfixture.h"
#include "tfappconfig.h"
#include "tfcoleta_cad.h"
#include "tfconfigdb.h"
#include "tfcons_coletacad.h"
#include "tfcons_coletaresumo.h"
#include "tfcons_mapaplaca.h"
#include "tfcons_plantiocad.h"
#include "tfcons_plantioresumo.h"
#include "tflogin.h"
#include "tfplantio_cad.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <functional>

using namespace Qt::StringLiterals;

// Every screen, dialog and report, at the desktop's font and at one 20 % larger: each text a
// widget shows fits it by the font's metrics (captions, buttons, fields at their longest value,
// column captions and cells).

namespace {

using Need = std::pair<QString, int>; // a text and the width it needs

/** The texts a widget must hold whole: the font's advance plus the style's room around it. */
QList<Need> Needs(QWidget* widget)
{
    const QFontMetrics fm = widget->fontMetrics();
    const auto need = [&fm](const QString& text, int room) {
        return Need{text, fm.horizontalAdvance(QString(text).remove(u'&')) + room};
    };
    QList<Need> needs;
    if (auto* label = qobject_cast<QLabel*>(widget); label && !label->wordWrap()) {
        for (const QString& line : label->text().split(u'\n'))
            if (!line.trimmed().isEmpty())
                needs << need(line.trimmed(), 0);
    } else if (qobject_cast<QRadioButton*>(widget) || qobject_cast<QCheckBox*>(widget)) {
        const QStyle* style = widget->style();
        needs << need(static_cast<QAbstractButton*>(widget)->text(),
                      style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                          style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (!button->text().isEmpty())
            needs << need(button->text(), 6);
    } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        needs << need(box->title(), 12);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        // What it shows, or a code at the field's whole length.
        const bool code = edit->maxLength() <= 20 && edit->maxLength() > edit->text().size();
        needs << need(code ? QString(edit->maxLength(), u'0') : edit->text(), 6);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        for (int i = 0; i < combo->count(); ++i)
            needs << need(combo->itemText(i), 24);
    }
    return needs;
}

/** Each shown column holds its caption and the cells of its first rows. */
void FindCutColumns(const QTableView* table, const QString& where, QStringList& cuts)
{
    const QAbstractItemModel* model = table->model();
    const QFontMetrics cells = table->fontMetrics(),
                       header = table->horizontalHeader()->fontMetrics();
    for (int c = 0; c < model->columnCount() && !table->horizontalHeader()->isHidden(); ++c) {
        Need widest{model->headerData(c, Qt::Horizontal).toString(), 0};
        widest.second = header.horizontalAdvance(widest.first) + 8;
        for (int r = 0; r < std::min(model->rowCount(), 50); ++r) {
            const QString cell = model->index(r, c).data().toString();
            widest = std::max(widest, Need{cell, cells.horizontalAdvance(cell) + 6},
                              [](const Need& a, const Need& b) { return a.second < b.second; });
        }
        if (!table->isColumnHidden(c) && widest.second > table->columnWidth(c))
            cuts << u"%1 column %2: \"%3\" (%4 > %5)"_s.arg(where)
                        .arg(c)
                        .arg(widest.first)
                        .arg(widest.second)
                        .arg(table->columnWidth(c));
    }
}

/** "Screen/Widget: text (needed > room)" for each text that does not fit its widget. */
void FindCuts(QWidget* widget, const QString& screen, QStringList& cuts)
{
    const QString where = screen + u'/' + widget->objectName();
    const QList<Need> needs = Needs(widget);
    const int lines = qobject_cast<QLabel*>(widget) ? int(needs.size()) : 1;
    for (const auto& [text, width] : needs)
        if (width > widget->contentsRect().width() ||
            lines * widget->fontMetrics().height() > widget->height())
            cuts << u"%1: \"%2\" (%3 > %4)"_s.arg(where, text)
                        .arg(width)
                        .arg(widget->contentsRect().width());
    if (auto* table = qobject_cast<QTableView*>(widget); table && table->model())
        FindCutColumns(table, where, cuts);
}

QStringList Cuts(QWidget* form, const QString& screen)
{
    QStringList cuts;
    QList<QWidget*> widgets = form->findChildren<QWidget*>();
    widgets.prepend(form);
    for (QWidget* widget : widgets) {
        // A table's own parts (editors, header, scroll bars) are checked with the table.
        bool inside = false;
        for (QWidget* up = widget->parentWidget(); up && up != form; up = up->parentWidget())
            inside = inside || qobject_cast<QAbstractItemView*>(up) || qobject_cast<QComboBox*>(up);
        if (inside || !widget->isVisibleTo(form))
            continue;
        FindCuts(widget, screen, cuts);
        const QWidget* parent = widget->parentWidget();
        if (widget != form && !parent->layout() && !parent->rect().contains(widget->geometry()))
            cuts << u"%1/%2: outside %3"_s.arg(screen, widget->objectName(), parent->objectName());
    }
    return cuts;
}

using FontSize = std::pair<const char*, double>;

class ReadabilityTest : public ShellTest, public ::testing::WithParamInterface<FontSize>
{
protected:
    explicit ReadabilityTest(StationOperation operation) : ShellTest(operation) {}

    void SetUp() override
    {
        m_font = QApplication::font();
        QFont larger = m_font;
        larger.setPointSizeF(m_font.pointSizeF() * GetParam().second);
        QApplication::setFont(larger);
        ShellTest::SetUp();
        RegisterReportScreens(mainForm.get());
        const auto db = station.Open();
        oper = AddUser(db.get(), u"OPER"_s, u"Maria Aparecida dos Santos"_s, u"1234"_s);
        TXTransaction transaction(db.get());
        for (int i = 0; i < 12; ++i)
            InsertPlantio(db.get(), {1, 2000000000000 + i, 7891000000000 + i, oper,
                                     u"2026-12-07 12:19:%1"_s.arg(10 + i), u"CENTRAL"_s});
        Fill(db.get());
        transaction.Commit();
        station.WriteConnectionFile();
        Start();
    }

    void TearDown() override
    {
        ShellTest::TearDown();
        QApplication::setFont(m_font);
    }

    virtual void Fill(TXConnection*) {}

    static void ExpectNone(const QStringList& cuts)
    {
        EXPECT_TRUE(cuts.isEmpty()) << GetParam().first << ":\n" << cuts.join(u'\n').toStdString();
    }

    template <class Screen> void ExpectFits(const QString& name, bool login = false)
    {
        if (login)
            DriveLogin({Type(u"OPER"_s, u"1234"_s)});
        QWidget* screen = OpenChildForm<Screen>();
        ASSERT_NE(screen, nullptr) << name.toStdString();
        QCoreApplication::processEvents();
        ExpectNone(Cuts(screen, name));
        CloseChildForm(screen);
        QCoreApplication::processEvents();
    }

    void ExpectShellFits()
    {
        ExpectNone(Cuts(mainForm->statusBar(), u"Principal"_s));
        mainForm->LConfigConexao->trigger();
        QWidget* connection = FindChildForm("TFConfigDB")->widget();
        ExpectNone(Cuts(connection, u"Conexão"_s));
        qobject_cast<TFConfigDB*>(connection)->BConfirm->click(); // "Desconectar" shown
        ExpectNone(Cuts(connection, u"Conexão"_s));
        qobject_cast<TFConfigDB*>(connection)->BConfirm->click();
        std::unique_ptr<TFLogin> login(OpenChildForm<TFLogin>(false, false));
        ExpectNone(Cuts(login.get(), u"Login"_s));
    }

    QFont m_font;
    int oper = 0;
};

class PlantioReadability : public ReadabilityTest
{
protected:
    PlantioReadability() : ReadabilityTest(StationOperation::Plantio) {}
};

class ColetaReadability : public ReadabilityTest
{
protected:
    ColetaReadability() : ReadabilityTest(StationOperation::Coleta) {}

    void Fill(TXConnection* db) override
    {
        InsertPlaca(db, 1, 1, u"PL-2026-000001"_s);
        for (int well = 1; well <= 4; ++well)
            CollectWell(db, 1, well, 2000000000000 + well, oper, u"2026-12-07 12:19:00"_s);
    }
};

TEST_P(PlantioReadability, EveryTextOfThePlantingStationFits)
{
    ExpectShellFits();
    ExpectFits<TFAppConfig>(u"Configuração"_s);
    ExpectFits<TFPlantio_Cad>(u"Plantio"_s, true);
    ExpectFits<TFCons_PlantioCad>(u"Consulta Plantio"_s);
    ExpectFits<TFCons_PlantioResumo>(u"Resumo Plantio"_s);
}

TEST_P(ColetaReadability, EveryTextOfTheCollectionStationFits)
{
    ExpectFits<TFAppConfig>(u"Configuração"_s);
    ExpectFits<TFColeta_Cad>(u"Coleta"_s, true);
    ExpectFits<TFCons_ColetaCad>(u"Consulta Coleta"_s);
    ExpectFits<TFCons_ColetaResumo>(u"Resumo Coleta"_s);
    ExpectFits<TFCons_MapaPlaca>(u"Mapa da Placa"_s);
}

const FontSize kFontSizes[] = {{"DesktopFont", 1.0}, {"TwentyPercentLarger", 1.2}};
INSTANTIATE_TEST_SUITE_P(Fonts, PlantioReadability, ::testing::ValuesIn(kFontSizes),
                         [](const auto& info) { return std::string(info.param.first); });
INSTANTIATE_TEST_SUITE_P(Fonts, ColetaReadability, ::testing::ValuesIn(kFontSizes),
                         [](const auto& info) { return std::string(info.param.first); });

} // namespace
