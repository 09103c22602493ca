#pragma once

#include "xmessages.h"

#include <QMessageBox>
#include <QStringList>
#include <functional>

class QKeyEvent;

/**
 * A message box that a barcode scanner cannot answer. While it is open it
 * takes every key the application receives, whichever window the keys were
 * meant for, so a scan typed at it never reaches a field. A key answers the
 * box only when it is deliberate (xscanpace.h); a click on a button always
 * does. A code typed at the box is kept and shown in it, and OnKeptScan runs
 * (the alert sound again). Clicks outside the box and the closing of other
 * windows are refused while it is open. Ctrl+C copies its texts.
 */
class TXScanGuardBox : public QMessageBox
{
    Q_OBJECT
public:
    explicit TXScanGuardBox(const TXMessageRequest& request, QWidget* parent = nullptr);
    ~TXScanGuardBox() override;

    /** Shows the box and waits for its answer. */
    TXMessageButton Exec();
    /** Shows the box and starts guarding the keyboard; finished() brings the answer. */
    void Open();
    /** The answer once the box is finished. */
    TXMessageButton Answer() const;

    /** The codes typed while the box was open, in order. */
    const QStringList& KeptCodes() const { return m_kept; }

    /** Replaces the clock that times the box's visibility, in milliseconds (tests). */
    void SetClock(std::function<qint64()> now) { m_now = std::move(now); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HandleKey(const QKeyEvent* event);
    void Act(int key);
    void KeepCode();
    /** Ctrl+C: the box's caption and texts to the clipboard. */
    void CopyText();
    bool Inside(QObject* object) const;

    bool m_yesNo = false;
    std::function<void()> m_onKeptScan;
    std::function<qint64()> m_now;
    QString m_pending;
    QStringList m_kept;
    qint64 m_shownAt = 0;
    qint64 m_lastKey = -1;
    bool m_guarding = false;
};

/** The text a box adds for a code typed while it was open. */
QString KeptScanText(const QString& code);

/** True for a guarded box: it takes the keys meant for the screens (focus checks ask). */
bool IsScanGuardBox(const QWidget* widget);

/**
 * Notes a key press the application received; a box opened afterwards counts
 * its quiet time from the latest one. Called by the application object.
 */
void NoteKeyPress(const QKeyEvent* event);
