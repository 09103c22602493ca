#pragma once

#include <QString>
#include <functional>

/**
 * Writes path through a temporary file beside it: write fills the temporary
 * file, which is then flushed to the disk and moved into place, so a reader
 * never sees a half-written file. With replace false an existing path is never
 * touched, also when it appears while writing. Raises XException with
 * errorClass and a Portuguese message on failure; the temporary file never
 * stays behind.
 */
void WriteFileSafely(const QString& path, bool replace, const QString& errorClass,
                     const std::function<void(const QString& temporary)>& write);
