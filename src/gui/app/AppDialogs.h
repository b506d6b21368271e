#pragma once

#include <QString>

class QWidget;

namespace zobl {

class CBug1App;

// The application's dialog commands, run with the settings and windows of app.

// Colour choice (command 32784 and the colour bar's swatches): on OK both drawing colours are
// stored directly. True on OK.
bool RunChooseColours(CBug1App& app, QWidget* parent = nullptr);
// Options (32804): on OK the main window is repainted and the documents refresh (action 1).
bool RunOptions(CBug1App& app);
// Editor colours and font (32808): on OK the colours, brushes and shared font are renewed and
// the documents refresh (actions 1 and 4).
bool RunColourSettings(CBug1App& app);
// Background properties (32828).
bool RunBackgroundProperties(CBug1App& app);
// New document (57600): the choice of kind, then an empty document of it.
void RunNewDocument(CBug1App& app);
// Open prompt (57601): each chosen file is opened in turn.
void RunOpenPrompt(CBug1App& app);
// About box (57664).
void RunAbout(CBug1App& app);

// The save prompt of a document kind (2 scenery, 3 vehicles), see CBug1App::PromptForSaveName.
bool RunSavePrompt(CBug1App& app, QString& path, int kind);

}  // namespace zobl
