#pragma once

#include <QtGlobal>

/**
 * The rule that tells a barcode scanner from a person at a box the scan flow
 * opens. A keyboard-wedge scanner types a code and its Enter in a few
 * milliseconds and never waits for the screen; a person answers a box only
 * after seeing it. So a key answers a box only when it is deliberate: the
 * keyboard was quiet before it and the box had been on the screen long enough
 * to be seen. Every threshold of the rule is here.
 */
namespace ScanPace {

/**
 * Quiet keyboard before a deliberate key. Wedge scanners send a key every
 * 1-20 ms and their Enter within the same rhythm; the slowest wireless ones
 * stay under 100 ms between keys. A person reacts to a box no faster than
 * about 250 ms, and a second key pressed on purpose (Tab, then Enter) comes
 * well after that. 300 ms is three times the slowest scanner gap and still
 * below a person's deliberate pace.
 */
inline constexpr qint64 kQuietMs = 300;

/**
 * Time a box must have been visible. Noticing a new window and reading its
 * first words takes a fixation of 200-300 ms plus the reaction; a key that
 * comes sooner was pressed for the screen as it was before the box.
 */
inline constexpr qint64 kMinVisibleMs = 400;

/** What a key means to a guarded box. */
enum class KeyKind {
    Character,  // digits, letters: what a scanner types
    Enter,      // Return or Enter: a scanner's end of code, or an answer
    Answer,     // Space or Escape: answers only
    Navigation, // Tab, Backtab, arrows: move between the box's buttons
    Other       // modifiers, function keys: ignored
};

enum class Verdict {
    Collect,     // part of a code typed while the box is open: kept, never applied
    CompleteCode, // the end of such a code: the box shows it and alerts again
    Act,         // a deliberate key: the box handles it as a box does
    Ignore       // a scanner's key, or one too soon to be deliberate
};

/**
 * What the box does with a key. pendingCode: characters were collected since
 * the last completed code. quietMs: time since the previous key press (a
 * negative value: no key before). visibleMs: how long the box has been shown.
 */
Verdict Classify(KeyKind kind, bool pendingCode, qint64 quietMs, qint64 visibleMs);

/** True when a key with these times may answer a box. */
bool IsDeliberate(qint64 quietMs, qint64 visibleMs);

} // namespace ScanPace
