#pragma once

#include <functional>
#include <memory>

#include <QDialog>
#include <QString>

namespace Ui {
class DlgExport;
}

namespace zobl {

class CLanguageManager;
class HelpContextScope;
class MessageService;

// Saves the vehicles for the simulator: a folder and a base name give the two files
// <folder><name>.UFG and <folder><name>.UZZ. OK asks question 303 for each that exists (UZZ
// first) and writes nothing unless every answer is yes; then exportFiles writes both, moving
// the progress bar. A failure is shown (the MessageError's number and argument, error 3 with
// the base name for anything else) and the dialog stays open, as it does for an empty name.
class CDlgExport : public QDialog {
    Q_OBJECT
public:
    // Writes basePath.UFG and basePath.UZZ, reporting 0..100; throws MessageError on failure.
    using ExportFunction =
        std::function<void(const QString& basePath, const std::function<void(int percent)>& progress)>;
    // The chosen folder ending in '/', or empty on cancel.
    using FolderPrompt = std::function<QString()>;

    CDlgExport(const CLanguageManager& language, MessageService& messages, const QString& folder,
               const QString& baseName, ExportFunction exportFiles, QWidget* parent = nullptr);
    ~CDlgExport() override;

    // The prompt behind the browse button; the standard folder prompt unless replaced.
    void SetFolderPrompt(FolderPrompt prompt) { folderPrompt_ = std::move(prompt); }
    // A text shown above the progress bar before anything is written (none when empty): what
    // the files will not hold as the document has it.
    void SetNotice(const QString& notice);
    QString Notice() const;

    // The folder field ending in '/' (empty when the field is), as the base path uses it.
    QString Folder() const;
    QString BaseName() const;
    void accept() override;

private:
    bool Export();
    // False when the file exists and the user does not want it replaced.
    bool MayOverwrite(const QString& path);
    void Browse();

    MessageService& messages_;
    ExportFunction exportFiles_;
    FolderPrompt folderPrompt_;
    std::unique_ptr<Ui::DlgExport> ui_;
    std::unique_ptr<HelpContextScope> help_;
};

}  // namespace zobl
