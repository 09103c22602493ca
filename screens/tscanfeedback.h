#pragma once

#include <QObject>
#include <QPointer>

class QLabel;
class QWidget;

/**
 * What a registration screen shows of each scan, readable from two metres: a
 * large status line, green with what was stored, red with why a scan was
 * refused (each operator alert is shown there as it opens); and a red banner over the screen while it is not the window that
 * receives the keys, since the scanner's codes then go elsewhere.
 */
class TScanFeedback : public QObject
{
    Q_OBJECT
public:
    /** The status line takes geometry status; the banner covers the top of screen. */
    TScanFeedback(QWidget* screen, const QRect& status);

    QLabel* Status() const { return m_status; }
    QLabel* Banner() const { return m_banner; }

    void ShowAccepted(const QString& text);
    /** The first line of a refusal's message. */
    void ShowRefused(const QString& message);
    void Clear();

    /** True when the screen is where typed keys arrive (or a box that guards them is open). */
    bool ReceivesKeys() const;
    /** Shows or hides the banner as ReceivesKeys says. */
    void UpdateBanner();

private:
    void Show(const QString& text, bool accepted);

    QWidget* m_screen;
    QLabel* m_status;
    QLabel* m_banner;
};

/** The text a refusal's status line shows: the message's first non-empty line, trimmed. */
QString RefusalStatusText(const QString& message);

/** The banner's text. */
extern const QString kFocusBannerText;
