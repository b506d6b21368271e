#pragma once

#include <QPointer>

#include "core/drawing/MouseMode.h"
#include "gui/framework/CommandIds.h"

namespace zobl {

struct EditorServices;
class CCarEdi;
class CFGSDoc;
class CFGSView;
class VehicleDocument;
class VehicleTree;
struct CommandState;

// The set and car commands of a vehicle window, on the entry selected in its tree: new car and
// set, rename, delete, copy and paste (also by the edit menu's copy and paste), move, the steam
// properties of a car view's band and the import from the simulator. The window owns it, gives
// its car editor the first turn and tells the document after a command ran.
class VehicleCommands {
public:
    // The window is what the import dialog adds its cars next to; the car editor holds the band
    // a right click remembered for the steam properties.
    VehicleCommands(CFGSDoc& document, CFGSView& view, VehicleTree& tree, const CCarEdi& carEditor,
                    const EditorServices& services);

    // False for a command that is not one of these, and for every command once the document is
    // gone; true when it ran (on the selection, where it needs one).
    bool OnCommand(CommandId id);
    // False as OnCommand; true when state says whether the command can run now.
    bool OnUpdateCommand(CommandId id, CommandState& state) const;

private:
    VehicleDocument* Model() const;
    MouseMode CurrentMouseMode() const;

    void NewCar();
    void NewSet();
    void RenameSet();
    void DeleteSelection();
    void CopySelection(bool sets);
    void PasteCar();
    void PasteSet();
    bool CanMove(bool forward) const;
    void Move(bool forward);
    void EditSteam();
    void ImportFromSimulator();
    // The edit menu's copy and paste: for the selected set or car what its own command does.
    void CopyKey();
    void PasteKey();

    QPointer<CFGSDoc> document_;
    CFGSView& view_;
    VehicleTree& tree_;
    const CCarEdi& carEditor_;
    const EditorServices& services_;
};

}  // namespace zobl
