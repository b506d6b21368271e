#pragma once

#include "gui/framework/MessageService.h"

namespace zobl {

class CBug1App;

// Numbered errors and questions in plain message boxes, with the captions, texts and button
// texts of the language file. Stands in until the error and question dialogs exist.
class MessageBoxService : public MessageService {
public:
    explicit MessageBoxService(CBug1App& app) : app_(app) {}
    void ShowError(int number, const QString& argument = {}, QWidget* parent = nullptr) override;
    int AskQuestion(int number, const QString& argument = {}, QWidget* parent = nullptr) override;

    // Caption and message of number n as the dialogs show them (each at most 1023 characters).
    static QString Caption(CBug1App& app, int number, bool question);
    static QString Message(CBug1App& app, int number, const QString& argument);

private:
    int Show(int number, const QString& argument, QWidget* parent, bool question);
    CBug1App& app_;
};

}  // namespace zobl
