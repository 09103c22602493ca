#pragma once

#include <QColor>
#include <QString>

// The colours the screens paint with. Each text colour keeps a contrast of at
// least 4.5:1 (WCAG AA) against the background it is shown on, and each state
// keeps its hue: green is done or go, red is refused, missing or a control.

/** Text meaning done or go ("Confirmar", "Conectar", an up-to-date report). */
inline const QColor kTextGo(0x00, 0x64, 0x00);
/** Text meaning stop or missing (counters, "Fechar"-like warnings, a stale report). */
inline const QColor kTextAlert(0xb0, 0x00, 0x00);
/** Text of the closing buttons. */
inline const QColor kTextClose(0x80, 0x00, 0x00);

/** Plate wells, under black text. */
inline const QColor kWellControl(0xff, 0x00, 0x00);
inline const QColor kWellCollected(0x5c, 0xb8, 0x5c);
inline const QColor kWellFree(0xff, 0xff, 0xff);

/** Status line and focus banner, under white text. */
inline const QColor kBannerGo(0x00, 0x70, 0x20);
inline const QColor kBannerAlert(0xb0, 0x00, 0x00);

/** "color: #rrggbb; font-weight: bold;": a speed button's caption. */
inline QString BoldTextStyle(const QColor& colour)
{
    return QStringLiteral("color: %1; font-weight: bold;").arg(colour.name());
}
