#include "admintool.h"
#include "labfixture.h"
#include "pgcluster.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// The lab page in a real browser: headless Chromium opens the file, the test reads the DOM it
// built. A missing Chromium fails here, never skips.

namespace {

// Records every script error from the first script on; placed before the page's own.
const char* const kErrorProbe = "<script>window.__erros=[];addEventListener('error',function(e){"
                                "__erros.push(String(e.message));});</script>";

// After the page's scripts: what Chart.js holds and how many pixels each canvas drew.
const char* const kChartProbe =
    "<script>(function(){var r={erros:__erros,graficos:[]};"
    "document.querySelectorAll('canvas').forEach(function(c){"
    "var g=window.Chart&&Chart.getChart(c);var d=c.getContext('2d')"
    ".getImageData(0,0,c.width,c.height).data;var n=0;"
    "for(var i=3;i<d.length;i+=4)if(d[i])++n;"
    "r.graficos.push({id:c.id,pontos:g?g.data.datasets.reduce(function(s,x){"
    "return s+x.data.length;},0):-1,pixels:n});});"
    "var p=document.createElement('pre');p.id='sonda';p.textContent=JSON.stringify(r);"
    "document.body.appendChild(p);})();</script>";

struct Rendered
{
    QString Dom;
    QString Log;
};

Rendered Chromium(const QStringList& arguments, const QString& file)
{
    const QString chromium = QStandardPaths::findExecutable(u"chromium"_s);
    EXPECT_FALSE(chromium.isEmpty()) << "Chromium is missing: scripts/setup installs it";
    if (chromium.isEmpty())
        return {};
    QTemporaryDir profile;
    QProcess process;
    process.start(chromium, QStringList{u"--headless"_s, u"--no-sandbox"_s, u"--disable-gpu"_s,
                                        u"--no-first-run"_s, u"--disable-extensions"_s,
                                        u"--enable-logging=stderr"_s, u"--v=0"_s,
                                        u"--user-data-dir="_s + profile.path()} +
                                arguments + QStringList{QUrl::fromLocalFile(file).toString()});
    EXPECT_TRUE(process.waitForFinished(120000)) << "Chromium did not finish";
    EXPECT_EQ(process.exitCode(), 0);
    return {QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

/** The page with the probes, rendered; the DOM as Chromium left it. */
Rendered RenderProbed(const QString& page, QTemporaryDir& dir)
{
    QByteArray html = FileBytes(page);
    html.replace("<head>", QByteArray("<head>") + kErrorProbe);
    html.replace("</body>", QByteArray(kChartProbe) + "</body>");
    const QString probed = dir.filePath(u"sonda.html"_s);
    QFile file(probed);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(html) == html.size());
    file.close();
    return Chromium({u"--dump-dom"_s}, probed);
}

QString Unescaped(QString text)
{
    for (const auto& [entity, character] : {std::pair{u"&lt;"_s, u"<"_s},
                                            {u"&gt;"_s, u">"_s},
                                            {u"&quot;"_s, u"\""_s},
                                            {u"&#39;"_s, u"'"_s},
                                            {u"&amp;"_s, u"&"_s}})
        text.replace(entity, character);
    return text;
}

/** The rows of the DOM's table with that id, cells as text joined by "|". */
QStringList TableRows(const QString& dom, const QString& id)
{
    const qsizetype start = dom.indexOf(u"<table id=\"%1\">"_s.arg(id));
    const QString table = dom.mid(start, dom.indexOf(u"</table>"_s, start) - start);
    QStringList rows;
    static const QRegularExpression row(u"<tr[^>]*>(.*?)</tr>"_s);
    static const QRegularExpression cell(u"<t[dh][^>]*>(.*?)</t[dh]>"_s);
    for (auto r = row.globalMatch(table); start >= 0 && r.hasNext();) {
        QStringList cells;
        for (auto c = cell.globalMatch(r.next().captured(1)); c.hasNext();)
            cells << Unescaped(c.next().captured(1));
        rows << cells.join(u'|');
    }
    return rows;
}

class LabPageTest : public ::testing::Test
{
protected:
    QString WritePage(const QStringList& names)
    {
        const QString url = PgCluster::Instance().NewDatabase();
        EXPECT_EQ(RunAdmin({"servidor", "criar", url}).ExitCode, 0);
        PgConnection lab(url);
        FillKnownLab(lab, names);
        const QString page = m_dir.filePath(u"relatorio.html"_s);
        const AdminRun run =
            RunAdmin({"servidor", "relatorio", url, "--agora", kLabNow, "--saida", page});
        EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        return page;
    }

    /** The probe's findings: no script error, and both charts drew their points. */
    static void ExpectChartsDrawn(const Rendered& rendered)
    {
        EXPECT_FALSE(rendered.Log.contains(u"Uncaught"_s)) << rendered.Log.toStdString();
        static const QRegularExpression probe(u"<pre id=\"sonda\">(.*?)</pre>"_s);
        const QJsonObject found =
            QJsonDocument::fromJson(Unescaped(probe.match(rendered.Dom).captured(1)).toUtf8())
                .object();
        EXPECT_EQ(found[u"erros"_s].toArray(), QJsonArray()) << rendered.Dom.toStdString();
        const QJsonArray charts = found[u"graficos"_s].toArray();
        ASSERT_EQ(charts.size(), 2) << rendered.Dom.toStdString();
        // 3 sub-batches; 28 days for each of the 3 stations.
        const int points[] = {3, 3 * 28};
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(charts[i][u"pontos"_s].toInt(), points[i]) << i;
            EXPECT_GT(charts[i][u"pixels"_s].toInt(), 1000) << i;
        }
    }

    QTemporaryDir m_dir;
};

TEST_F(LabPageTest, TheBrowserShowsTheFiguresDrawsTheChartsAndTakesTheScreenshot)
{
    const QString page = WritePage({"P1", "P2", "C1", "L1", "MILHO"});
    const Rendered rendered = RenderProbed(page, m_dir);
    ExpectChartsDrawn(rendered);
    EXPECT_EQ(TableRows(rendered.Dom, u"placas"_s).mid(1),
              (QStringList{u"PL-A|L1|4|1|3|3|3|0|sim|C1"_s, u"PL-B|L1|4|1|3|1|1|2|não|C1"_s}));
    EXPECT_EQ(TableRows(rendered.Dom, u"estacoes"_s).value(1),
              u"C1|coleta|L1|2024-05-08 10:00:00|26,0|4|1|1|sem transmitir há mais de um dia"_s);
    EXPECT_EQ(TableRows(rendered.Dom, u"progresso"_s).value(3), u"L1|total||14|6|8|42,9 %"_s);

    // The README's picture.
    const QString shot = qEnvironmentVariable("TRESSALIN_SCREENSHOT_PATH",
                                              QStringLiteral(TRESSALIN_SCREENSHOT_PATH));
    QFile::remove(shot);
    Chromium({u"--hide-scrollbars"_s, u"--window-size=1280,1500"_s, u"--screenshot="_s + shot},
             page);
    EXPECT_TRUE(FileBytes(shot).startsWith("\x89PNG")) << shot.toStdString();
}

TEST_F(LabPageTest, NamesWithMarkupShowAsTextAndRunNothing)
{
    // P1, P2, C1, the batch L1 and its first sub-batch.
    const QStringList names{u"<script>document.title='x'</script>"_s, u"P2"_s,
                            u"<img src=x onerror=document.title=1>&\"'"_s,
                            u"<script>x()</script>"_s, u"<i>\"A\"&'B'</i>"_s};
    const Rendered rendered = RenderProbed(WritePage(names), m_dir);
    ExpectChartsDrawn(rendered);
    EXPECT_TRUE(rendered.Dom.contains(u"<title>Tressalin: relatório do laboratório</title>"_s));
    EXPECT_FALSE(rendered.Dom.contains(u"<img"_s));
    EXPECT_FALSE(rendered.Dom.contains(u"<i>"_s));
    // The inlined library, the charts' data and code, and the two probes.
    EXPECT_EQ(rendered.Dom.count(u"<script"_s), 5);
    EXPECT_EQ(TableRows(rendered.Dom, u"progresso"_s).value(1),
              names[3] + u"|1|"_s + names[4] + u"|10|4|6|40,0 %"_s);
    EXPECT_EQ(
        TableRows(rendered.Dom, u"estacoes"_s).mid(1, 2),
        (QStringList{names[2] + u"|coleta|"_s + names[3] +
                         u"|2024-05-08 10:00:00|26,0|4|1|1|sem transmitir há mais de um dia"_s,
                     names[0] + u"|plantio|"_s + names[3] + u"|2024-05-09 06:00:00|6,0|6|2|1|"_s}));
}

} // namespace
