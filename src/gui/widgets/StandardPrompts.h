#pragma once

#include <optional>

#include <QColor>
#include <QString>
#include <QStringList>

class QColorDialog;
class QFileDialog;
class QWidget;

namespace zobl {

class CLanguageManager;

// The standard prompts for files, folders and colours. They are Qt's own dialogs, not the
// desktop's native ones, so that their texts come from the language file, they get a help
// button and they cannot freeze on a missing desktop portal.

enum class FilePromptKind {
    Open,     // open prompt (title 4001), several files possible
    Save,     // save prompt (4002): the file need not exist; no overwrite question of Qt's own
    Export,   // export prompt (4003), like Save
    Picture,  // background picture prompt (4010), like Open
};

struct FilePromptRequest {
    FilePromptKind kind = FilePromptKind::Open;
    QString filter;          // in the language file's form "Name|*.x|Name|*.y||"
    QString defaultSuffix;   // without the dot; added to a name typed without extension
    QString folder;          // where the prompt starts
    QString name;            // preset of the name field (at most 259 characters)
    QString title;           // in place of the kind's title, when not empty
    bool multiple = false;   // several files may be chosen (Open only)
    int selectedFilter = 0;  // index into the filter list
    // The extension added to a name typed without one is that of the filter chosen (its first
    // pattern), for prompts whose filters are the formats to write.
    bool suffixFollowsFilter = false;
};

// The chosen files in the order the prompt returns them; empty on cancel. The help button
// opens help for the current help context.
QStringList RunFilePrompt(const FilePromptRequest& request, const CLanguageManager& language,
                          QWidget* parent = nullptr);

// A folder prompt titled title, starting at the desktop, accepting folders of the file system
// only. The chosen folder ends in '/'; empty on cancel.
QString RunFolderPrompt(const QString& title, const CLanguageManager& language, QWidget* parent = nullptr);

// The colour prompt starting from initial; nullopt on cancel.
std::optional<QColor> RunColourPrompt(const QColor& initial, const CLanguageManager& language,
                                      QWidget* parent = nullptr);

// The texts of the language file for a file or colour prompt, and its help button.
void LocalizeFileDialog(QFileDialog& dialog, FilePromptKind kind, const CLanguageManager& language);
void LocalizeColourDialog(QColorDialog& dialog, const CLanguageManager& language);

}  // namespace zobl
