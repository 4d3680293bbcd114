#pragma once

// The windows ask for their fonts by the faces of their design ("MS Sans
// Serif", "Bookman Old Style", "Courier", "Arial Black"). Where a face is not
// installed (any Linux desktop), a metric look-alike stands in for it.

#include <QFont>
#include <QString>

namespace runtime {

// A font by design face, size in points, weight (300 light, 400 normal,
// 700 bold) and italic.
QFont designFont(const QString &face, qreal points, int weight = 400, bool italic = false);

} // namespace runtime
