#include "gui/widgets/DialogSupport.h"

#include <QListWidget>

#include "gui/lang/Localization.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QDialog>
#include <QEvent>
#include <QPalette>
#include <QPointer>
#include <QWidget>

namespace zobl {

namespace {
HelpService* g_help = nullptr;
bool g_greyDialogs = false;
constexpr const char* kGreyApplied = "zoblGreyDialog";

// Catches every dialog as it is shown, whoever made it.
class GreyDialogFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && g_greyDialogs) {
            if (auto* dialog = qobject_cast<QDialog*>(watched)) {
                PrepareDialog(dialog);
            }
        }
        return false;
    }
};

QPointer<GreyDialogFilter> g_filter;
}  // namespace

void RegisterDialogHelp(HelpService* help) {
    g_help = help;
}

HelpService* DialogHelp() {
    return g_help;
}

HelpContextScope::HelpContextScope(int context) {
    if (g_help != nullptr) {
        previous_ = g_help->GetHelpContext();
        g_help->SetHelpContext(context);
        active_ = true;
    }
}

HelpContextScope::~HelpContextScope() {
    // The help may have gone while a dialog outlived it (tests).
    if (active_ && g_help != nullptr) {
        g_help->SetHelpContext(previous_);
    }
}

void SetDialogHelpContext(int context) {
    if (g_help != nullptr) {
        g_help->SetHelpContext(context);
    }
}

void ShowDialogHelp() {
    if (g_help != nullptr) {
        g_help->ShowHelp();
    }
}

void ConnectHelpButton(QAbstractButton* button, int context) {
    if (button == nullptr) {
        return;
    }
    QObject::connect(button, &QAbstractButton::clicked, button, [context] {
        if (g_help != nullptr) {
            const int previous = g_help->GetHelpContext();
            g_help->SetHelpContext(context);
            g_help->ShowHelp();
            g_help->SetHelpContext(previous);
        }
    });
}

void SetGreyDialogs(bool on) {
    g_greyDialogs = on;
    if (on && g_filter == nullptr && qApp != nullptr) {
        g_filter = new GreyDialogFilter(qApp);
        qApp->installEventFilter(g_filter);
    }
}

bool GreyDialogs() {
    return g_greyDialogs;
}

void PrepareDialog(QWidget* dialog) {
    if (dialog == nullptr || !g_greyDialogs || dialog->property(kGreyApplied).toBool()) {
        return;
    }
    dialog->setProperty(kGreyApplied, true);
    QPalette palette = dialog->palette();
    const QColor grey(192, 192, 192);
    palette.setColor(QPalette::Window, grey);
    palette.setColor(QPalette::Button, grey);
    // Black text, but disabled controls must still look disabled.
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, Qt::black);
        palette.setColor(group, QPalette::ButtonText, Qt::black);
        palette.setColor(group, QPalette::Text, Qt::black);
    }
    const QColor disabled(112, 112, 112);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
    palette.setColor(QPalette::Disabled, QPalette::Text, disabled);
    dialog->setPalette(palette);
    dialog->setAutoFillBackground(true);
}

QString LimitDialogText(const QString& text) {
    return text.left(kMaxDialogText);
}

QString FormatNumber(const QString& format, int number) {
    QString result;
    result.reserve(format.size() + 8);
    bool done = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'%' && i + 1 < format.size()) {
            const QChar next = format[i + 1];
            if (next == u'%') {
                result += u'%';
                ++i;
                continue;
            }
            if (!done && (next == u'd' || next == u'i')) {
                result += QString::number(number);
                done = true;
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

std::unique_ptr<HelpContextScope> StartDialog(QDialog& dialog, const CLanguageManager& language,
                                              int helpContext, QAbstractButton* ok, QAbstractButton* cancel,
                                              QAbstractButton* help) {
    PrepareDialog(&dialog);
    LocalizeWindow(&dialog, language);
    auto scope = std::make_unique<HelpContextScope>(helpContext);
    QObject::connect(ok, &QAbstractButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QAbstractButton::clicked, &dialog, &QDialog::reject);
    ConnectHelpButton(help, helpContext);
    return scope;
}

QListWidgetItem* AddListEntry(QListWidget* list, const QString& text, int data) {
    auto* item = new QListWidgetItem(text, list);
    item->setData(Qt::UserRole, data);
    return item;
}

int SelectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> chosen = list->selectedItems();
    return chosen.isEmpty() ? -1 : list->row(chosen.front());
}

int SelectedData(const QListWidget* list) {
    const int row = SelectedRow(list);
    return row < 0 ? -1 : list->item(row)->data(Qt::UserRole).toInt();
}

}  // namespace zobl
