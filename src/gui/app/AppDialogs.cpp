#include "gui/app/AppDialogs.h"

#include <QFileInfo>
#include <QGuiApplication>

#include "core/common/MessageError.h"
#include "core/common/PathTools.h"
#include "core/settings/GeneralSettings.h"
#include "gui/app/BackGroundView.h"
#include "gui/app/Bug1App.h"
#include "gui/app/MainFrame.h"
#include "gui/app/OptionsDlg.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandRouter.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/framework/FrameTexts.h"
#include "gui/framework/MessageService.h"
#include "gui/lang/Localization.h"
#include "gui/palette/ColorDlg.h"
#include "gui/palette/ColorSettings.h"
#include "gui/widgets/DialogSupport.h"
#include "gui/widgets/GeneralDialogs.h"
#include "gui/widgets/StandardPrompts.h"

namespace zobl {

namespace {

constexpr int kRefreshAction = 1;
constexpr int kFontAction = 4;

QWidget* Owner(CBug1App& app, QWidget* parent) {
    return parent != nullptr ? parent : app.MainFrame();
}

QString FolderOf(const QString& path) {
    return QString::fromStdString(WithTrailingSlash(QFileInfo(path).absolutePath().toStdString()));
}

}  // namespace

bool RunChooseColours(CBug1App& app, QWidget* parent) {
    CColorDlg dialog(app.GetPalette(), app.GetLanguageManager(), Owner(app, parent));
    dialog.SetColours(app.GetColor1(), app.GetColor2());
    GeneralSettings& settings = app.Settings();
    dialog.EnablePaletteExport(app.Messages(), QString::fromStdString(settings.exportFolder));
    dialog.SetDayNightHandler([&app] {
        if (CMainFrame* frame = app.MainFrame()) {
            frame->Router().Execute(ID_DAY_NIGHT);
        }
    });
    const int result = dialog.exec();
    // As after the other exports: the next one starts where this one wrote.
    settings.exportFolder = dialog.ExportFolder().toStdString();
    if (result != QDialog::Accepted) {
        return false;
    }
    // Stored directly: a colour chosen here does not end the undo step as a click in the bar does.
    settings.color1 = dialog.LeftColor();
    settings.color2 = dialog.RightColor();
    if (CMainFrame* frame = app.MainFrame()) {
        frame->RepaintColourBars();
    }
    return true;
}

bool RunOptions(CBug1App& app) {
    OptionsDlg dialog(app, app.MainFrame());
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    if (CMainFrame* frame = app.MainFrame()) {
        frame->update();
        frame->RepaintColourBars();
        frame->RepaintWorkspace();
    }
    app.UpdateAllDocuments(nullptr, kRefreshAction, 0);
    return true;
}

bool RunColourSettings(CBug1App& app) {
    GeneralSettings& settings = app.Settings();
    CColorSettings::Values values;
    values.colours = {settings.gsvFg,  settings.gsvBg,  settings.fgsvFg,  settings.fgsvBg,
                      settings.editFg, settings.editBg, settings.gridCol, settings.cellGridCol};
    values.fontFace = QString::fromStdString(settings.fontFace);
    values.fontSize = settings.fontSize;
    CMainFrame* frame = app.MainFrame();
    const QString sharedFace = frame != nullptr ? frame->SharedFont().family() : values.fontFace;
    CColorSettings dialog(app.GetLanguageManager(), values, sharedFace, frame);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    const CColorSettings::Values chosen = dialog.GetValues();
    settings.gsvFg = chosen.colours[CColorSettings::SceneryForeground];
    settings.gsvBg = chosen.colours[CColorSettings::SceneryBackground];
    settings.fgsvFg = chosen.colours[CColorSettings::VehicleForeground];
    settings.fgsvBg = chosen.colours[CColorSettings::VehicleBackground];
    settings.editFg = chosen.colours[CColorSettings::EditForeground];
    settings.editBg = chosen.colours[CColorSettings::EditBackground];
    settings.gridCol = chosen.colours[CColorSettings::PixelGridLines];
    settings.cellGridCol = chosen.colours[CColorSettings::CellGridLines];
    app.RecreateBrushes();
    settings.fontSize = chosen.fontSize;
    settings.fontFace = chosen.fontFace.left(static_cast<int>(kMaxSettingTextLength)).toStdString();
    if (frame != nullptr) {
        frame->RecreateSharedFont();
    }
    app.UpdateAllDocuments(nullptr, kRefreshAction, 0);
    app.UpdateAllDocuments(nullptr, kFontAction, 0);
    return true;
}

bool RunBackgroundProperties(CBug1App& app) {
    CMainFrame* frame = app.MainFrame();
    auto* background = frame != nullptr ? qobject_cast<CBackGroundView*>(frame->MdiArea()) : nullptr;
    CDlgBckProperties dialog(
        app,
        [background](const QString& path) {
            if (background != nullptr) {
                background->LoadBackgroundPicture(path);
            }
        },
        frame);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    if (frame != nullptr) {
        frame->RepaintWorkspace();
    }
    return true;
}

void RunNewDocument(CBug1App& app) {
    DocTemplate* vehicles = app.VehicleTemplate();
    int kind = 0;
    {
        // Closed (and its help context given back) before the new window sets its own.
        CDlgChooseType dialog(app.GetLanguageManager(), vehicles != nullptr && vehicles->CanCreateDocuments(),
                              app.MainFrame());
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        kind = dialog.ChosenKind();
    }
    DocTemplate* chosen = kind == kVehicleKind ? vehicles : app.SceneryTemplate();
    if (chosen != nullptr && chosen->CanCreateDocuments()) {
        app.Documents().NewDocument(*chosen);
    }
}

void RunOpenPrompt(CBug1App& app) {
    QStringList files;
    {
        const HelpContextScope help(help::kOpenPrompt);
        FilePromptRequest request;
        request.kind = FilePromptKind::Open;
        request.filter = app.FileFilter();
        request.defaultSuffix = QStringLiteral("gs");
        request.folder = QString::fromStdString(app.Settings().openFolder);
        request.multiple = true;
        files = RunFilePrompt(request, app.GetLanguageManager(), app.MainFrame());
    }
    for (const QString& file : files) {
        if (app.Settings().autoApplyFolders) {
            app.Settings().openFolder = FolderOf(file).toStdString();
        }
        app.OpenDocumentFile(file);
    }
}

void RunAbout(CBug1App& app) {
    // Ctrl+Shift with "Info" switches the help numbers on or off.
    const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
    if ((modifiers & Qt::ControlModifier) && (modifiers & Qt::ShiftModifier)) {
        app.SetHelpNumberDisplay(!app.HelpNumberDisplay());
    }
    {
        const HelpContextScope help(help::kAboutBox);
        CAboutDlg dialog(app.GetLanguageManager(), app.MainFrame());
        dialog.exec();
    }
    SetGreyDialogs(true);
}

bool RunSavePrompt(CBug1App& app, QString& path, int kind) {
    QStringList chosen;
    {
        const HelpContextScope help(help::kSavePrompt);
        FilePromptRequest request;
        request.kind = FilePromptKind::Save;
        request.filter = app.FileFilter();
        request.defaultSuffix = kind == kVehicleKind ? QStringLiteral("fgs") : QStringLiteral("gs");
        request.selectedFilter = kind == kVehicleKind ? 2 : 1;
        // A document that has a file is saved where it is, unless the user goes elsewhere.
        const QFileInfo proposed(path);
        request.folder = proposed.isAbsolute() ? proposed.absolutePath()
                                               : QString::fromStdString(app.Settings().saveFolder);
        request.name = proposed.fileName();
        chosen = RunFilePrompt(request, app.GetLanguageManager(), app.MainFrame());
    }
    if (chosen.isEmpty()) {
        return false;
    }
    path = chosen.front();
    if (app.Settings().autoApplyFolders) {
        app.Settings().saveFolder = FolderOf(path).toStdString();
    }
    return MayOverwrite(app.Messages(), path);
}

}  // namespace zobl
