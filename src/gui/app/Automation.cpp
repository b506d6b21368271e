#include "gui/app/Automation.h"

#include <QPointer>
#include <QTimer>

#include "gui/app/Bug1App.h"
#include "gui/framework/DocTemplate.h"
#include "gui/framework/Document.h"
#include "gui/framework/MessageService.h"

namespace zobl {

namespace {
constexpr int kWrongDocumentType = 1;  // error 1, without argument
}  // namespace

int CAutoDoc::SetPix(qint16 /*x*/, qint16 /*y*/, int /*colour*/) {
    return 0;
}

CAutoApp::CAutoApp(CBug1App& app, QObject* parent) : QObject(parent), app_(app) {}

CAutoApp::~CAutoApp() {
    if (connection_ && connection_->isConnected()) {
        connection_->unregisterObject(QString::fromLatin1(kObjectPath), QDBusConnection::UnregisterTree);
        connection_->unregisterService(QString::fromLatin1(kServiceName));
    }
}

bool CAutoApp::Register(QDBusConnection connection) {
    if (!connection.isConnected()) {
        return false;
    }
    // Another editor that holds the name keeps it.
    if (!connection.registerService(QString::fromLatin1(kServiceName))) {
        return false;
    }
    if (!connection.registerObject(QString::fromLatin1(kObjectPath), this,
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties)) {
        connection.unregisterService(QString::fromLatin1(kServiceName));
        return false;
    }
    connection_ = std::make_unique<QDBusConnection>(connection);
    return true;
}

const std::vector<Document*>* CAutoApp::DocumentsOf(int type) {
    DocTemplate* docTemplate = type == kDoctypeCar     ? app_.VehicleTemplate()
                               : type == kDoctypeScene ? app_.SceneryTemplate()
                                                       : nullptr;
    if (docTemplate == nullptr) {
        ReportWrongType(type);
        return nullptr;
    }
    return &docTemplate->Documents();
}

void CAutoApp::ReportWrongType(int type) {
    // The dialog's own event loop answers further calls; each would open a dialog inside the one
    // before, until the stack of loops brings the editor down.
    if (wrongTypeReported_) {
        ++wrongTypesDropped_;
        return;
    }
    wrongTypeReported_ = true;
    // On the user's screen, once the caller has its answer.
    QTimer::singleShot(0, this, [this, type] {
        const QPointer<CAutoApp> self(this);
        app_.Messages().ShowError(kWrongDocumentType, QString::number(type));
        if (self == nullptr) {
            return;
        }
        wrongTypeReported_ = false;
        if (wrongTypesDropped_ > 0) {
            qWarning(
                "Automation: %d more call(s) with a document type other than %d and %d while error %d "
                "was shown",
                wrongTypesDropped_, kDoctypeCar, kDoctypeScene, kWrongDocumentType);
            wrongTypesDropped_ = 0;
        }
    });
}

int CAutoApp::DocumentCount(int type) {
    const std::vector<Document*>* documents = DocumentsOf(type);
    return documents == nullptr ? -1 : static_cast<int>(documents->size());
}

QDBusObjectPath CAutoApp::GetDoc(int index, int type) {
    const std::vector<Document*>* documents = DocumentsOf(type);
    if (documents == nullptr || index < 0 || index >= static_cast<int>(documents->size())) {
        return QDBusObjectPath(QString::fromLatin1(kEmptyReference));
    }
    return QDBusObjectPath(PathOf(*documents->at(static_cast<std::size_t>(index))));
}

QString CAutoApp::PathOf(Document& document) {
    // The object lives as a child of its document, named by its path, and goes with it.
    if (const auto* known = document.findChild<CAutoDoc*>(QString(), Qt::FindDirectChildrenOnly)) {
        return known->objectName();
    }
    auto* object = new CAutoDoc(&document);
    const QString path = QStringLiteral("/Document/%1").arg(nextDocumentNumber_++);
    object->setObjectName(path);
    if (connection_) {
        connection_->registerObject(path, object, QDBusConnection::ExportAllSlots);
    }
    return path;
}

}  // namespace zobl
