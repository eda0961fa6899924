#pragma once

#include "export/LogSpanReader.h"

namespace kt7 {

// Writes the rows of a span as a log of its own: the log's header and its rows in the log's
// format, so the viewer opens it like any log. Returns the reason when it failed, else empty.
QString writeSpanCsv(const LogSpan& span, const QString& outPath);

} // namespace kt7
