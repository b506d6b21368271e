#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/MessageError.h"
#include "core/drawing/MouseMode.h"
#include "core/palette/Palette.h"
#include "core/undo/UndoableDocument.h"
#include "core/vehicles/VehicleModel.h"
#include "core/vehicles/VehicleSnapshot.h"

namespace zobl {

// Message numbers of the vehicle operations and their dialogs.
namespace message {
inline constexpr int kSetsFullOrNothingChosen = 105;  // new set with 10 sets; new car without set or length
inline constexpr int kSetNameEmpty = 106;
inline constexpr int kSetNameTooLong = 107;
inline constexpr int kCarNameEmpty = 110;
inline constexpr int kSetHoldsEightCars = 111;
inline constexpr int kSetTooLong = 112;  // more than 32 length units
inline constexpr int kAddSetFailed = 901;
inline constexpr int kDeleteFailed = 902;
inline constexpr int kQuestionDeleteSet = 301;
inline constexpr int kQuestionDeleteCar = 302;
}  // namespace message

// What the views are told after a change. The numbers are the ones the views dispatch on.
enum class VehicleHintCode : int {
    RebuildAll = 0,  // undo, redo, moves
    Tick = 2,        // timer tick
    Redraw = 3,      // pixels, segment flags, colours or settings changed
    CarDeleted = 5,
    Added = 6,  // a car or set was added or pasted
    SetDeleted = 7,
    SetAdded = 8,
    CarChangedInView = 9,  // car texts or CarFlags changed by a view; that view is not told
    FontChanged = 10,
    SetRenamed = 12,           // set
    CarTextsChanged = 13,      // set, car
    SetAboutToBeDeleted = 14,  // set
    CarAboutToBeDeleted = 15,  // set, car
    AboutToMove = 16,
    SelectCar = 18,  // set, car, view
};

struct VehicleHint {
    VehicleHintCode code = VehicleHintCode::RebuildAll;
    int set = -1;
    int car = -1;
    int view = -1;
    friend bool operator==(const VehicleHint&, const VehicleHint&) = default;
};

// A view of a vehicle document as the document sees it: it receives the hints, and it hands
// its tree state to undo snapshots and takes it back on undo and redo.
class VehicleDocumentListener {
public:
    virtual ~VehicleDocumentListener() = default;
    virtual void OnVehicleHint(const VehicleHint& hint) = 0;
    // The state bits (0x20 = expanded) of the top-level tree items, one per set item in tree
    // order. Writes at most into.size() words and returns how many it wrote. Must not allocate.
    virtual std::size_t CaptureTreeStates(std::span<std::int32_t> into) const = 0;
    // After undo or redo has restored the sets: the words captured with that state (fewer or
    // more than the tree now has items when the set count changed in between).
    virtual void RestoreTreeStates(std::span<const std::int32_t> states) = 0;
};

struct SpecialPixelHit {
    int count = 0;
    int set = -1;
    int car = -1;
    int view = -1;
};

struct CarPosition {
    int set = -1;
    int car = -1;
    friend bool operator==(const CarPosition&, const CarPosition&) = default;
};

// A vehicle graphic without any window: up to 10 sets of up to 8 cars, the header texts, the
// undo history and the views to notify. Every change records its undo snapshot first; the
// mouse mode is passed in because it names the undo group. Texts are raw Windows-1252 bytes,
// as the file holds them; the *Utf8 helpers convert at the edge.
class VehicleDocument : public UndoableDocument<VehicleSnapshot> {
public:
    // The largest snapshot block of a document within the limits.
    static constexpr std::size_t kSnapshotCapacity = vehicle_snapshot::kCapacity;
    static constexpr int kMaxRecordedViews = vehicle_snapshot::kMaxViews;

    VehicleDocument();
    ~VehicleDocument() override;
    VehicleDocument(const VehicleDocument&) = delete;
    VehicleDocument& operator=(const VehicleDocument&) = delete;

    // A new document: no sets, empty texts, empty undo history, not modified.
    void Clear();
    // For readers: takes the content as it is (sets 0..n-1 named, car slots 0..count-1 used,
    // planes of the cars' lengths), renumbers, empties the undo history, clears the modified
    // flag and tells the views to rebuild.
    void ReplaceContent(VehicleContent content);
    // The same for a reader that fills the content in place: empties it (the sets keep their
    // storage), lets read fill it and takes what it holds then, also when read throws.
    template <typename Read>
    void ReadContent(Read&& read) {
        content_.Clear();
        try {
            read(content_);
        } catch (...) {
            TakeNewContent();
            throw;
        }
        TakeNewContent();
    }
    const VehicleContent& Content() const noexcept { return content_; }

    // Views, numbered 0, 1, 2, ... in the order they were attached. Detaching one renumbers the
    // views after it and moves their state words down with them; undo and redo give each open
    // view the words it had itself when the step was taken.
    void AttachListener(VehicleDocumentListener& listener);
    void DetachListener(VehicleDocumentListener& listener);
    int ListenerNumber(const VehicleDocumentListener& listener) const;
    void Notify(const VehicleHint& hint, const VehicleDocumentListener* sender = nullptr);

    // Read access. Out-of-range indices give an empty record.
    const VehicleSet& Set(int set) const;
    const Car& CarAt(int set, int car) const;
    int CountSets() const;
    int CountCars(int set) const;
    int TotalSetLength(int set) const;
    int FindSet(const VehicleSet& record) const;
    std::optional<CarPosition> FindCar(const Car& record) const;
    bool AnyCars() const;
    // First hit in the order sets, cars, views 2, 1, 3, 0, and the number of all hits.
    SpecialPixelHit CountSpecialPixels(PaletteIndex index) const;

    // Pixels by (set, car, view, x, y), y = 0 the top row. Reading outside a car gives
    // TransparentIndex; writing outside is refused (false, no snapshot).
    PaletteIndex GetPixel(int set, int car, int view, int x, int y) const;
    bool SetPixel(int set, int car, int view, int x, int y, PaletteIndex value, bool redraw,
                  MouseMode mouseMode);
    std::span<const std::uint8_t> Plane(int set, int car, int view) const;
    // The plane to draw in, for the car's drawing surface, which records the undo snapshot
    // (PrepareChange) before its first write. Empty for no such car or view.
    std::span<std::uint8_t> PlaneForDrawing(int set, int car, int view);
    // The views' images follow the planes; this marks them stale (Car::bitmapRevision).
    void RebuildCarBitmaps(int set, int car);
    void RebuildAllBitmaps();

    // Header texts (no undo step; they only mark the document modified).
    std::string_view Author() const { return content_.author.View(); }
    std::string_view Description() const { return content_.description.View(); }
    std::string_view InfoText() const { return content_.infoText.View(); }
    void SetAuthor(std::string_view raw);
    void SetInfoText(std::string_view raw);
    // The info dialog's OK: 305 when a changed author replaces one that is neither empty nor the
    // default author of the language file (UTF-8), so the user must confirm; else 0.
    int CheckAuthorChange(std::string_view newAuthorRaw, std::string_view defaultAuthorUtf8) const;

    // Per-view tree state words of a set or car (no undo step: this is view state).
    ViewStateWords* MutableViewState(int set);
    ViewStateWords* MutableViewState(int set, int car);

    // Structural operations; false (and nothing changed) for out-of-range indices.
    bool AddVehicleSet(std::string_view nameRaw, MouseMode mouseMode);
    // Into slot == CountCars(set) of a used set; texts cut to 61 bytes. Refuses a length outside
    // 1..32 and a car that would make the set longer than 32 units.
    bool AddCar(int set, int slot, std::string_view nameRaw, std::string_view text2Raw,
                std::string_view text3Raw, int length, const SegmentFlags* segmentFlags, MouseMode mouseMode);
    bool DeleteVehicleSet(int set, bool notify, MouseMode mouseMode);
    bool DeleteVehicleSet(const VehicleSet& record, bool notify, MouseMode mouseMode);
    bool DeleteCar(int set, int car, bool notify, MouseMode mouseMode);
    bool DeleteCar(const Car& record, bool notify, MouseMode mouseMode);
    bool MoveCarForward(int set, int car, bool notify, MouseMode mouseMode);
    bool MoveCarBack(int set, int car, bool notify, MouseMode mouseMode);
    bool MoveSetForward(int set, bool notify, MouseMode mouseMode);
    bool MoveSetBack(int set, bool notify, MouseMode mouseMode);
    // An empty name is refused: it would free the slot under the set's cars.
    bool RenameVehicleSet(int set, std::string_view nameRaw, MouseMode mouseMode);
    // An empty name is refused: the slot would read as free. continueStep joins the change to the
    // undo step still open (typing in one field is one step); otherwise it starts a new one.
    bool SetCarTexts(int set, int car, std::string_view nameRaw, std::string_view text2Raw,
                     std::string_view text3Raw, const VehicleDocumentListener* sender, MouseMode mouseMode,
                     bool continueStep = false);
    // continueStep as for SetCarTexts (an import sets the flags of the car it just added).
    bool SetCarFlags(int set, int car, std::uint32_t flags, const VehicleDocumentListener* sender,
                     MouseMode mouseMode, bool continueStep = false);
    // The steam value (0, 0x80 or 0x40) becomes the whole segment word. Segment 0..length-1.
    std::uint16_t SegmentWord(int set, int car, int view, int segment) const;
    bool SetSteamValue(int set, int car, int view, int segment, std::uint16_t value, MouseMode mouseMode);

    // The checks of the new-set, new-car and rename dialogs and of pasting: 0 when the action
    // may go ahead, else the message number to show.
    int CheckNewSet(std::string_view nameRaw) const;
    int CheckNewCar(int set, int length, std::string_view nameRaw) const;
    int CheckRenameSet(int set, std::string_view nameRaw) const;
    int CheckPasteCar(int set, const Car& car) const;
    // The dialogs' OK: check, then act. 0 on success, else the message number.
    int NewVehicleSet(std::string_view nameRaw, MouseMode mouseMode);
    int NewCar(int set, std::string_view nameRaw, int length, MouseMode mouseMode);
    // The clipboard car after the last car of set. 0, 111, 112, or -1 when there is nothing
    // to paste (no such set, an empty clipboard car).
    int PasteCar(int set, const Car& car, MouseMode mouseMode);
    // The clipboard set into the first free slot; its index, or -1 when 10 sets exist, the set
    // has no name or no cars, or it is longer than 32 units.
    int PasteSet(const VehicleSet& set, MouseMode mouseMode);
    // Hint 18: the views select that car (after a failed export check).
    void RequestCarSelection(int set, int car, int view);

    // Update actions of the application: 1 rebuild images and redraw, 2 tick, 4 font; others
    // do nothing.
    void UpdateDoc(int action);

private:
    // What every new content goes through: see ReplaceContent.
    void TakeNewContent();
    VehicleSnapshot NewSnapshotBuffer() const override;
    void CaptureSnapshot(VehicleSnapshot& into) const override;
    void RestoreSnapshot(const VehicleSnapshot& from) override;
    // Undo and redo rebuild every car image and redraw the views.
    void OnContentRestored() override;
    void Renumber();
    void ShiftSetsDown(int from);
    bool IsCar(int set, int car) const;
    Car* MutableCar(int set, int car);

    // Every set's and car's view state words, sets first, each set slot then its car slots.
    template <typename Visit>
    void ForEachViewState(Visit&& visit) {
        for (VehicleSet& set : content_.sets) {
            visit(set.viewState);
        }
        for (VehicleSet& set : content_.sets) {
            for (Car& car : set.cars) {
                visit(car.viewState);
            }
        }
    }

    VehicleContent content_;
    std::vector<VehicleDocumentListener*> listeners_;
    // An identity per view that stays when others close and renumber it: undo snapshots name
    // the view their words belong to by it.
    std::vector<std::uint32_t> listenerIds_;
    std::uint32_t nextListenerId_ = 1;
};

}  // namespace zobl
