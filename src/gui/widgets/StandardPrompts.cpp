#include "gui/widgets/StandardPrompts.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>

#include "gui/framework/FileFilter.h"
#include "gui/lang/Localization.h"
#include "gui/widgets/DialogSupport.h"

namespace zobl {

namespace {

constexpr int kMaxNameLength = 259;
constexpr int kHelpKey = 3003;
constexpr int kLookInKey = 4004;
constexpr int kFileNameKey = 4005;
constexpr int kFileTypeKey = 4006;
constexpr int kOpenKey = 4007;
constexpr int kSaveKey = 4008;
constexpr int kRejectKey = 4009;
constexpr int kColourTitleKey = 3901;

QString DialogText(const CLanguageManager& language, int key) {
    return GetText(language, key, kDialogsSection);
}

int TitleKey(FilePromptKind kind) {
    switch (kind) {
        case FilePromptKind::Open:
            return 4001;
        case FilePromptKind::Save:
            return 4002;
        case FilePromptKind::Export:
            return 4003;
        case FilePromptKind::Picture:
            return 4010;
    }
    return 4001;
}

// The prompts' help buttons ask for the help context that is current while they are open.
void AddHelpButton(QDialog& dialog, const CLanguageManager& language) {
    auto* box = dialog.findChild<QDialogButtonBox*>();
    if (box == nullptr) {
        return;
    }
    QPushButton* help = box->addButton(DialogText(language, kHelpKey), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("help9"));
    QObject::connect(help, &QPushButton::clicked, &dialog, [] { ShowDialogHelp(); });
}

// The prompt shows some of its labels without mnemonics: "&" would appear as it stands.
QString WithoutMnemonic(const QString& text) {
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
        }
        result += text[i];
    }
    return result;
}

QString WithSlash(QString folder) {
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return folder;
}

// "GIMP-Palette (*.gpl)" gives "gpl"; a filter without "*.x" gives nothing.
QString FirstSuffix(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

// Qt's file list writes the dates in the system's form, whatever the application's language: this
// writes them in the application's default locale, the language file's.
class DatesInDefaultLocale : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        constexpr int kDateColumn = 3;
        if (role == Qt::DisplayRole && index.column() == kDateColumn) {
            if (const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel())) {
                return QLocale().toString(files->lastModified(mapToSource(index)), QLocale::ShortFormat);
            }
        }
        return QIdentityProxyModel::data(index, role);
    }
};

}  // namespace

void LocalizeFileDialog(QFileDialog& dialog, FilePromptKind kind, const CLanguageManager& language) {
    dialog.setWindowTitle(DialogText(language, TitleKey(kind)));
    dialog.setLabelText(QFileDialog::LookIn, WithoutMnemonic(DialogText(language, kLookInKey)));
    dialog.setLabelText(QFileDialog::FileName, DialogText(language, kFileNameKey));
    dialog.setLabelText(QFileDialog::FileType, WithoutMnemonic(DialogText(language, kFileTypeKey)));
    const bool saving = kind == FilePromptKind::Save || kind == FilePromptKind::Export;
    dialog.setLabelText(QFileDialog::Accept, DialogText(language, saving ? kSaveKey : kOpenKey));
    dialog.setLabelText(QFileDialog::Reject, DialogText(language, kRejectKey));
    if (dialog.proxyModel() == nullptr) {
        dialog.setProxyModel(new DatesInDefaultLocale(&dialog));
    }
    AddHelpButton(dialog, language);
}

void LocalizeColourDialog(QColorDialog& dialog, const CLanguageManager& language) {
    dialog.setWindowTitle(DialogText(language, kColourTitleKey));
    // The chooser has no interface for its texts: its labels and buttons are found by the text
    // Qt gives them (translated or not) and replaced.
    static constexpr std::pair<const char*, int> kTexts[] = {
        {"&Basic colors", 3902},
        {"&Custom colors", 3903},
        {"&Add to Custom Colors", 3904},
        {"&Pick Screen Color", 3905},
        {"Hu&e:", 3906},
        {"&Sat:", 3907},
        {"&Val:", 3908},
        {"&Red:", 3909},
        {"&Green:", 3910},
        {"Bl&ue:", 3911},
        {"&HTML:", 3912},
        {"A&lpha channel:", 3913},
    };
    for (const auto& [source, key] : kTexts) {
        const QString shown = QCoreApplication::translate("QColorDialog", source);
        const QString text = DialogText(language, key);
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->text() == shown || label->text() == QLatin1String(source)) {
                label->setText(text);
            }
        }
        for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
            if (button->text() == shown || button->text() == QLatin1String(source)) {
                button->setText(text);
            }
        }
    }
    if (auto* box = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) {
            ok->setText(DialogText(language, 3001));
        }
        if (QPushButton* cancel = box->button(QDialogButtonBox::Cancel)) {
            cancel->setText(DialogText(language, 3002));
        }
    }
    AddHelpButton(dialog, language);
}

QStringList RunFilePrompt(const FilePromptRequest& request, const CLanguageManager& language,
                          QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const bool mustExist = request.kind == FilePromptKind::Open || request.kind == FilePromptKind::Picture;
    dialog.setFileMode(!mustExist         ? QFileDialog::AnyFile
                       : request.multiple ? QFileDialog::ExistingFiles
                                          : QFileDialog::ExistingFile);
    const QStringList filters = ToQtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(request.selectedFilter, filters.front()));
    }
    if (!request.defaultSuffix.isEmpty()) {
        dialog.setDefaultSuffix(request.defaultSuffix);
    }
    if (request.suffixFollowsFilter) {
        dialog.setDefaultSuffix(FirstSuffix(dialog.selectedNameFilter()));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString& filter) { dialog.setDefaultSuffix(FirstSuffix(filter)); });
    }
    if (!request.folder.isEmpty() && QFileInfo(request.folder).isDir()) {
        dialog.setDirectory(request.folder);
    }
    LocalizeFileDialog(dialog, request.kind, language);
    if (!request.title.isEmpty()) {
        dialog.setWindowTitle(request.title);
    }
    if (!request.name.isEmpty()) {
        dialog.selectFile(request.name.left(kMaxNameLength));
    }
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

QString RunFolderPrompt(const QString& title, const CLanguageManager& language, QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    QString start = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (start.isEmpty() || !QFileInfo(start).isDir()) {
        start = QDir::homePath();
    }
    dialog.setDirectory(start);
    LocalizeFileDialog(dialog, FilePromptKind::Open, language);
    dialog.setWindowTitle(title);
    dialog.setLabelText(QFileDialog::Accept, DialogText(language, 3001));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString chosen = dialog.selectedFiles().front();
    return QFileInfo(chosen).isDir() ? WithSlash(chosen) : QString();
}

std::optional<QColor> RunColourPrompt(const QColor& initial, const CLanguageManager& language,
                                      QWidget* parent) {
    QColorDialog dialog(initial, parent);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    LocalizeColourDialog(dialog, language);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.selectedColor();
}

}  // namespace zobl
