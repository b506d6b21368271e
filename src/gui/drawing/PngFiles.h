#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <QDialog>
#include <QSize>
#include <QString>

#include "png/PngSheet.h"

class QMimeData;

namespace Ui {
class PngImportDlg;
}

namespace zobl {

struct EditorServices;
class CClippy;
class CLanguageManager;
class HelpContextScope;
class MessageService;

// The messages of the PNG commands (errors 6141.. of the language file).
namespace message {
inline constexpr int kUnmatchedColours = 141;     // argument: the picture, the count and the first pixel
inline constexpr int kWrongSheetSize = 142;       // argument: both sizes
inline constexpr int kNightPicture = 143;         // argument: the file
inline constexpr int kPictureIsNoDocument = 144;  // argument: the file
}  // namespace message

// "PNG importieren": which file, and whether colours without a palette colour are mapped.
struct PngImportChoice {
    QString path;
    bool nearest = false;
};

// The file name, "Durchsuchen ..." and the mapping check box. OK needs an existing file
// (error 1 otherwise, and the dialog stays).
class CPngImportDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 50200;

    CPngImportDlg(const EditorServices& services, QWidget* parent = nullptr);
    ~CPngImportDlg() override;

    PngImportChoice Choice() const;
    void SetChoice(const PngImportChoice& choice);
    void accept() override;

private:
    void Browse();

    const EditorServices& services_;
    std::unique_ptr<Ui::PngImportDlg> ui_;
    std::unique_ptr<HelpContextScope> help_;
};

// The prompts of the PNG commands; tests put their own in place of the dialogs.
struct PngPrompts {
    // Start folder and suggested name in, chosen path out (empty: cancel).
    std::function<QString(const QString& folder, const QString& name)> exportFile;
    std::function<std::optional<PngImportChoice>()> importChoice;
};

// "Als PNG exportieren": the save prompt in the export folder with name + ".png" suggested,
// question 303 before replacing a file, then the bytes sheet() gives written atomically; error 3
// or 4 with the path on failure. The export folder is remembered.
void ExportPngFile(const EditorServices& services, const PngPrompts& prompts, const QString& documentName,
                   const std::function<std::vector<std::uint8_t>()>& sheet);

// The choice of "PNG importieren", nullopt on cancel.
std::optional<PngImportChoice> AskPngImport(const EditorServices& services, const PngPrompts& prompts);

// Reads the chosen file through read (ReadScenerySheet or ReadVehicleSheet: bytes, file name,
// nearest) and shows why it refuses: a file that cannot be read (error 4), no PNG (2), another
// size (142; sizeText: the key of the text naming both sizes), colours without a palette colour
// unless mapped (141), a night picture (143). nullopt then.
using SheetReader =
    std::function<SheetPixels(std::span<const std::uint8_t> png, const std::string& fileName, bool nearest)>;
std::optional<SheetPixels> ReadPngSheet(const EditorServices& services, const PngImportChoice& choice,
                                        int sizeText, const SheetReader& read);

// The import's dialog, then the chosen file read as ReadPngSheet does: nullopt on cancel or
// refusal.
struct ImportedSheet {
    PngImportChoice choice;
    SheetPixels sheet;
};
std::optional<ImportedSheet> AskAndReadPngSheet(const EditorServices& services, const PngPrompts& prompts,
                                                int sizeText, const SheetReader& read);

// The status line after an import: how many pixels were mapped (nothing when none were).
void ReportMappedPixels(const EditorServices& services, const QString& path, int mapped);

// A PNG file as a picture to paste: every colour an exact palette colour or the nearest ordinary
// one, fully transparent pixels 56; a picture beyond 8192 pixels is cut. Shows why a file cannot
// be read (error 4, or 2 for no or a damaged PNG) and returns false then, clipboard untouched.
bool LoadPngPicture(const EditorServices& services, const QString& path, CClippy& into);

// The size a PNG file claims, read from its header; nullopt for no PNG.
std::optional<QSize> PngFileSize(const QString& path);

// The dropped local .png file of a drag, if it carries one.
std::optional<QString> DroppedPngFile(const QMimeData* mime);

}  // namespace zobl
