#pragma once

#include <QString>

class QWidget;

namespace zobl {

// Answers of AskQuestion.
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
inline constexpr int kAnswerCancel = 2;

// Every error and question of the program is a number n: its message is text 6000 + n of
// section "Errors", with the argument where the text has its "%". Everything that reports to the
// user goes through this interface, so tests put a recorder in its place.
class MessageService {
public:
    virtual ~MessageService() = default;
    // parent == nullptr: the dialog belongs to the main window.
    virtual void ShowError(int number, const QString& argument = {}, QWidget* parent = nullptr) = 0;
    // kAnswerYes, kAnswerNo or kAnswerCancel.
    virtual int AskQuestion(int number, const QString& argument = {}, QWidget* parent = nullptr) = 0;
};

// Before a file is written at path: true when nothing stands there, or when the user answers yes
// to the overwrite question. A symbolic link counts as a file even when it leads nowhere, and the
// question shows where it leads.
bool MayOverwrite(MessageService& messages, const QString& path, QWidget* parent = nullptr);

}  // namespace zobl
