#include "gui/widgets/Cp1252Fields.h"

#include <QApplication>
#include <QLineEdit>
#include <QStringList>
#include <QToolTip>
#include <QValidator>

#include "core/text/CodePages.h"
#include "gui/lang/Localization.h"

namespace zobl {

namespace {

class Cp1252Validator : public QValidator {
public:
    Cp1252Validator(QLineEdit* field, const CLanguageManager& language)
        : QValidator(field), field_(field), language_(language) {}

    State validate(QString& input, int& /*pos*/) const override {
        const std::string missing = MissingFromCp1252(input.toStdString());
        if (missing.empty()) {
            return Acceptable;
        }
        // Invalid takes the whole input back: the field keeps the text it had.
        TellRefusedCharacters(field_, QString::fromStdString(missing), language_);
        return Invalid;
    }

private:
    QLineEdit* field_;
    const CLanguageManager& language_;
};

}  // namespace

void LimitToCp1252(QLineEdit* field, const CLanguageManager& language) {
    field->setValidator(new Cp1252Validator(field, language));
}

QString WithoutCharactersOutsideCp1252(const QString& text, int& cursor, QString& refused) {
    refused = QString::fromStdString(MissingFromCp1252(text.toStdString()));
    if (refused.isEmpty()) {
        return text;
    }
    const QList<uint> missing = refused.toUcs4();
    QString kept;
    kept.reserve(text.size());
    const int end = int(text.size());
    const int oldCursor = cursor;
    for (int i = 0; i < end;) {
        // A character outside the basic plane takes two code units.
        const int width =
            (text.at(i).isHighSurrogate() && i + 1 < end && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QString character = text.mid(i, width);
        if (missing.contains(character.toUcs4().value(0))) {
            if (i < oldCursor) {
                cursor -= width;
            }
        } else {
            kept += character;
        }
        i += width;
    }
    return kept;
}

QString CharacterList(const QString& characters) {
    QStringList list;
    for (const char32_t character : characters.toUcs4()) {
        list << QString::fromUcs4(&character, 1);
    }
    return list.join(QLatin1Char(' '));
}

void TellRefusedCharacters(QWidget* field, const QString& refused, const CLanguageManager& language) {
    QApplication::beep();
    const QString text = GetText(language, kRefusedCharactersKey, kDialogsSection)
                             .replace(QStringLiteral("%1"), CharacterList(refused));
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), text, field);
}

}  // namespace zobl
