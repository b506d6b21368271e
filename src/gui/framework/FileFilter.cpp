#include "gui/framework/FileFilter.h"

#include <QRegularExpression>

namespace zobl {

QStringList ToQtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    static const QRegularExpression kTrailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        if (name.isEmpty() && patterns.isEmpty()) {
            break;  // the closing "||"
        }
        if (patterns.isEmpty()) {
            continue;
        }
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // "*.*" means every file here too, also the ones without a dot.
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        name.remove(kTrailingPatterns);
        if (name.isEmpty()) {
            name = patterns;
        }
        result << QStringLiteral("%1 (%2)").arg(name, patterns.simplified());
    }
    return result;
}

}  // namespace zobl
