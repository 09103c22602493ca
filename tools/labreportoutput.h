#pragma once

#include <QByteArray>
#include <QString>

struct LabReport;

/** Where the page's charts come from: Debian's libjs-chart.js, inlined into the page. */
inline const QString kChartJsPath = QStringLiteral("/usr/share/javascript/chart.js/chart.min.js");

/** The report as aligned text for the terminal, numbers in pt-BR. */
QString LabReportText(const LabReport& report);

/** Writes the report as a new .xlsx file, one sheet per section. Raises XException. */
void WriteLabReportXlsx(const LabReport& report, const QString& path);

/**
 * The report as one self-contained HTML page: every value escaped, the chart
 * library's text inlined (chartJs), the charts' data as JSON in the page.
 */
QByteArray LabReportHtml(const LabReport& report, const QByteArray& chartJs);

/** Writes the page as a new file with the chart library read from kChartJsPath. */
void WriteLabReportHtml(const LabReport& report, const QString& path);
