#pragma once

#include <QString>

class QLineEdit;
class QWidget;

namespace zobl {

class CLanguageManager;

// Texts of our documents are Windows-1252 bytes in their files, so a character that page lacks
// would be stored as '?'. The fields that write such texts refuse those characters as they are
// typed or pasted: the field keeps what it had, beeps and says in a tool tip which characters it
// cannot take (section "DIALOGS", key kRefusedCharactersKey).
inline constexpr int kRefusedCharactersKey = 3960;

// A line edit refuses an input that brings such a character as a whole (its validator).
void LimitToCp1252(QLineEdit* field, const CLanguageManager& language);

// For fields without a validator: text without the characters Windows-1252 lacks; cursor (a
// position in text) moves back by the characters removed before it. refused gets the removed
// characters, each once.
QString WithoutCharactersOutsideCp1252(const QString& text, int& cursor, QString& refused);
// Characters one after another with a blank between them, so that each can be told apart:
// "ł→" gives "ł →".
QString CharacterList(const QString& characters);
// The beep and the tool tip at field that name the refused characters.
void TellRefusedCharacters(QWidget* field, const QString& refused, const CLanguageManager& language);

}  // namespace zobl
