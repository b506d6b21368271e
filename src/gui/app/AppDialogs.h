#pragma once

#include <QString>

class QWidget;

namespace zobl {

class CBug1App;

// The application's dialog commands, run with the settings and windows of app.

// Colour choice (ID_CHOOSE_COLOURS and the colour bar's swatches): on OK both drawing colours are
// stored directly. True on OK.
bool RunChooseColours(CBug1App& app, QWidget* parent = nullptr);
// Options (ID_OPTIONS_SETTINGS): on OK the main window is repainted and the documents refresh
// (action 1).
bool RunOptions(CBug1App& app);
// Editor colours and font (ID_OPTIONS_COLOURS): on OK the colours, brushes and shared font are
// renewed and the documents refresh (actions 1 and 4).
bool RunColourSettings(CBug1App& app);
// Background properties (ID_BACKGROUND_PROPERTIES).
bool RunBackgroundProperties(CBug1App& app);
// New document (ID_FILE_NEW): the choice of kind, then an empty document of it.
void RunNewDocument(CBug1App& app);
// Open prompt (ID_FILE_OPEN): each chosen file is opened in turn.
void RunOpenPrompt(CBug1App& app);
// About box (ID_APP_ABOUT).
void RunAbout(CBug1App& app);

// The save prompt of a document kind (2 scenery, 3 vehicles), see CBug1App::PromptForSaveName.
bool RunSavePrompt(CBug1App& app, QString& path, int kind);

}  // namespace zobl
