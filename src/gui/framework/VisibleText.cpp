#include "gui/framework/VisibleText.h"

#include <algorithm>

#include <QList>
#include <QWidget>

namespace zobl {

namespace {

bool IsHidden(char32_t c) {
    switch (QChar::category(c)) {
        case QChar::Other_Format:
        case QChar::Other_Control:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            return false;
    }
}

}  // namespace

QString VisibleText(const QString& text) {
    const QList<uint> characters = text.toUcs4();
    if (std::none_of(characters.begin(), characters.end(), [](uint c) { return IsHidden(c); })) {
        return text;
    }
    QString shown;
    shown.reserve(text.size() + 16);
    for (const uint c : characters) {
        if (IsHidden(c)) {
            shown += QStringLiteral("<U+%1>").arg(c, 4, 16, QLatin1Char('0')).toUpper();
        } else {
            const char32_t one = c;
            shown += QString::fromUcs4(&one, 1);
        }
    }
    return shown;
}

namespace {
const QString kModifiedPlace = QStringLiteral("[*]");
}  // namespace

QString TitleWithModifiedMark(const QString& name) {
    QString title = name;
    title.replace(kModifiedPlace, kModifiedPlace + kModifiedPlace);
    return title + kModifiedPlace;
}

QString ShownTitle(const QWidget& window) {
    QString title = window.windowTitle();
    if (title.endsWith(kModifiedPlace)) {
        title.chop(kModifiedPlace.size());
        if (window.isWindowModified()) {
            title += QLatin1Char('*');
        }
    }
    return title.replace(kModifiedPlace + kModifiedPlace, kModifiedPlace);
}

}  // namespace zobl
