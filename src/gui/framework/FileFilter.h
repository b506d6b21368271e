#pragma once

#include <QStringList>

namespace zobl {

// The language file writes file-type filters as "Name|*.a;*.b|Name 2|*.c||". Qt wants one
// "Name (*.a *.b)" per type; a name that already ends in a parenthesised pattern list loses it,
// so the patterns are not shown twice.
QStringList ToQtNameFilters(const QString& filter);

}  // namespace zobl
