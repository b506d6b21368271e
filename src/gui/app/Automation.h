#pragma once

#include <memory>

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>

namespace zobl {

class CBug1App;
class Document;

// The document object handed out by the automation interface (interface "zoblge.Document").
class CAutoDoc : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "zoblge.Document")
public:
    explicit CAutoDoc(QObject* parent = nullptr) : QObject(parent) {}

public slots:
    // Reserved: changes nothing and answers 0.
    int SetPix(qint16 x, qint16 y, int colour);
};

// What a script on the same desktop session can ask the running editor: its version and its
// open documents of each kind (interface "zoblge.Application" at "/" of the service
// "zoblge.Application" on the session bus).
//   doctypeCar  (read-only) 513, the vehicle documents
//   doctypeScene (read-only) 514, the scenery documents
//   GetVersion() 1;  GetWinCount() 0
//   DocumentCount(type): the open documents of that kind; another type shows error 1 with the
//       type on the editor's screen (after the answer, so the caller is not kept waiting) and
//       answers -1
//   GetDoc(index, type): the object path of the index-th open document of that kind (counted
//       from 0), "/" when there is none; another type shows error 1 and answers "/"
// Error 1 is shown one at a time: wrong calls while it is open are counted in the log instead
// of stacking up dialogs.
class CAutoApp : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "zoblge.Application")
    Q_PROPERTY(int doctypeCar READ DoctypeCar)
    Q_PROPERTY(int doctypeScene READ DoctypeScene)
public:
    static constexpr int kDoctypeCar = 513;
    static constexpr int kDoctypeScene = 514;
    static constexpr const char* kServiceName = "zoblge.Application";
    static constexpr const char* kObjectPath = "/";
    static constexpr const char* kEmptyReference = "/";

    explicit CAutoApp(CBug1App& app, QObject* parent = nullptr);
    ~CAutoApp() override;

    // Offers the interface on connection (the session bus when none is given). False when there
    // is no bus, or another program (another running editor) holds the name: that one keeps it,
    // and this editor runs on without the interface.
    bool Register(QDBusConnection connection = QDBusConnection::sessionBus());

    int DoctypeCar() const { return kDoctypeCar; }
    int DoctypeScene() const { return kDoctypeScene; }

public slots:
    int GetVersion() const { return 1; }
    int GetWinCount() const { return 0; }
    int DocumentCount(int type);
    QDBusObjectPath GetDoc(int index, int type);

private:
    // The documents of that kind in order; nullptr for an unknown type (error 1 shown later).
    const std::vector<Document*>* DocumentsOf(int type);
    QString PathOf(Document& document);
    void ReportWrongType(int type);

    CBug1App& app_;
    std::unique_ptr<QDBusConnection> connection_;
    int nextDocumentNumber_ = 1;
    bool wrongTypeReported_ = false;  // error 1 waits to be shown or is open
    int wrongTypesDropped_ = 0;
};

}  // namespace zobl
