#pragma once

#include <memory>

#include <QMenu>

#include "core/scenery/SceneryDocument.h"
#include "gui/framework/Document.h"

namespace zobl {

class CBug1App;

// A scenery graphic (.gs) in the editor: the core SceneryDocument with its windows. Maps the
// update actions to view hints, reads and writes the file, and handles undo and redo.
class CGSDoc : public Document {
    Q_OBJECT
public:
    CGSDoc(DocTemplate& docTemplate, CBug1App& app);
    ~CGSDoc() override;

    SceneryDocument& Model() noexcept { return model_; }
    const SceneryDocument& Model() const noexcept { return model_; }
    CBug1App& App() const noexcept { return app_; }

    bool OnNewDocument() override;
    bool OnOpenDocument(const QString& path) override;
    bool OnSaveDocument(const QString& path) override;
    bool UpdateDoc(int action, int argument) override;
    bool IsModified() const override { return model_.IsModified(); }
    void SetModifiedFlag(bool modified) override;
    void CloseUndoGroup() override;
    QString ProposedSaveName() const override;
    QMenu* DocumentMenu() override;

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;

private:
    CBug1App& app_;
    SceneryDocument model_;
    std::unique_ptr<QMenu> menu_;
};

}  // namespace zobl
