#include "core/vehicles/VehicleDocument.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/common/ByteReader.h"
#include "core/text/CodePages.h"
#include "core/vehicles/SteamProperties.h"

namespace zobl {

using namespace vehicles;

namespace {

bool HasValidPlanes(const Car& car) {
    if (!IsValidCarLength(car.length)) {
        return false;
    }
    for (int view = 0; view < kViewCount; ++view) {
        if (car.planes[std::size_t(view)].size() != PlaneSize(view, car.length)) {
            return false;
        }
    }
    return true;
}

}  // namespace

VehicleDocument::VehicleDocument() {
    CreateUndoHistory();
    Renumber();
}

VehicleDocument::~VehicleDocument() = default;

void VehicleDocument::Clear() {
    ReadContent([](VehicleContent&) {});
}

void VehicleDocument::ReplaceContent(VehicleContent content) {
    content.sets.resize(kMaxSets);
    content_ = std::move(content);
    TakeNewContent();
}

void VehicleDocument::TakeNewContent() {
    Renumber();
    RebuildAllBitmaps();
    ResetUndoHistory();
    SetModified(false);
    Notify({VehicleHintCode::RebuildAll});
}

// ---- views ----

void VehicleDocument::AttachListener(VehicleDocumentListener& listener) {
    if (std::find(listeners_.begin(), listeners_.end(), &listener) == listeners_.end()) {
        listeners_.push_back(&listener);
        listenerIds_.push_back(nextListenerId_++);
    }
}

void VehicleDocument::DetachListener(VehicleDocumentListener& listener) {
    const auto it = std::find(listeners_.begin(), listeners_.end(), &listener);
    if (it == listeners_.end()) {
        return;
    }
    const auto number = std::size_t(it - listeners_.begin());
    listeners_.erase(it);
    listenerIds_.erase(listenerIds_.begin() + std::ptrdiff_t(number));
    // The views after it are numbered one lower now; their state words move with them.
    ForEachViewState([number](ViewStateWords& words) {
        if (number < words.size()) {
            std::copy(words.begin() + std::ptrdiff_t(number) + 1, words.end(),
                      words.begin() + std::ptrdiff_t(number));
            words.back() = 0;
        }
    });
}

int VehicleDocument::ListenerNumber(const VehicleDocumentListener& listener) const {
    const auto it = std::find(listeners_.begin(), listeners_.end(), &listener);
    return it == listeners_.end() ? -1 : int(it - listeners_.begin());
}

void VehicleDocument::Notify(const VehicleHint& hint, const VehicleDocumentListener* sender) {
    for (std::size_t i = 0; i < listeners_.size(); ++i) {
        if (listeners_[i] != sender) {
            listeners_[i]->OnVehicleHint(hint);
        }
    }
}

// ---- read access ----

const VehicleSet& VehicleDocument::Set(int set) const {
    static const VehicleSet kNone{};
    if (set < 0 || set >= kMaxSets) {
        return kNone;
    }
    return content_.sets[std::size_t(set)];
}

const Car& VehicleDocument::CarAt(int set, int car) const {
    static const Car kNone{};
    if (car < 0 || car >= kMaxCars) {
        return kNone;
    }
    return Set(set).cars[std::size_t(car)];
}

int VehicleDocument::CountSets() const {
    return int(std::count_if(content_.sets.begin(), content_.sets.end(),
                             [](const VehicleSet& set) { return set.IsUsed(); }));
}

int VehicleDocument::CountCars(int set) const {
    const VehicleSet& record = Set(set);
    return record.IsUsed() ? std::clamp(record.carCount, 0, kMaxCars) : 0;
}

int VehicleDocument::TotalSetLength(int set) const {
    if (set < 0 || set >= CountSets()) {
        return 0;
    }
    return Set(set).TotalLength();
}

int VehicleDocument::FindSet(const VehicleSet& record) const {
    const int sets = CountSets();
    for (int i = 0; i < sets; ++i) {
        if (&content_.sets[std::size_t(i)] == &record) {
            return i;
        }
    }
    return -1;
}

std::optional<CarPosition> VehicleDocument::FindCar(const Car& record) const {
    const int sets = CountSets();
    for (int s = 0; s < sets; ++s) {
        const int cars = CountCars(s);
        for (int c = 0; c < cars; ++c) {
            if (&CarAt(s, c) == &record) {
                return CarPosition{s, c};
            }
        }
    }
    return std::nullopt;
}

bool VehicleDocument::AnyCars() const {
    const int sets = CountSets();
    for (int s = 0; s < sets; ++s) {
        if (CountCars(s) > 0) {
            return true;
        }
    }
    return false;
}

SpecialPixelHit VehicleDocument::CountSpecialPixels(PaletteIndex index) const {
    static constexpr int kViewOrder[] = {2, 1, 3, 0};
    SpecialPixelHit hit;
    const int sets = CountSets();
    for (int s = 0; s < sets; ++s) {
        const int cars = CountCars(s);
        for (int c = 0; c < cars; ++c) {
            for (const int view : kViewOrder) {
                const auto& plane = CarAt(s, c).planes[std::size_t(view)];
                const int found = int(std::count(plane.begin(), plane.end(), index));
                if (found > 0 && hit.count == 0) {
                    hit.set = s;
                    hit.car = c;
                    hit.view = view;
                }
                hit.count += found;
            }
        }
    }
    return hit;
}

bool VehicleDocument::IsCar(int set, int car) const {
    return set >= 0 && set < CountSets() && car >= 0 && car < CountCars(set);
}

Car* VehicleDocument::MutableCar(int set, int car) {
    return IsCar(set, car) ? &content_.sets[std::size_t(set)].cars[std::size_t(car)] : nullptr;
}

// ---- pixels ----

PaletteIndex VehicleDocument::GetPixel(int set, int car, int view, int x, int y) const {
    if (!IsCar(set, car) || !IsValidView(view)) {
        return TransparentIndex;
    }
    const Car& record = CarAt(set, car);
    const auto& plane = record.planes[std::size_t(view)];
    if (!IsInsideView(view, record.length, x, y) || plane.size() != PlaneSize(view, record.length)) {
        return TransparentIndex;
    }
    return plane[PixelOffset(view, record.length, x, y)];
}

bool VehicleDocument::SetPixel(int set, int car, int view, int x, int y, PaletteIndex value, bool redraw,
                               MouseMode mouseMode) {
    Car* record = MutableCar(set, car);
    if (!record || !IsValidView(view) || value >= kPaletteSize || !IsInsideView(view, record->length, x, y) ||
        record->planes[std::size_t(view)].size() != PlaneSize(view, record->length)) {
        return false;
    }
    PrepareChange(mouseMode);
    record->planes[std::size_t(view)][PixelOffset(view, record->length, x, y)] = value;
    if (redraw) {
        RebuildCarBitmaps(set, car);
        Notify({VehicleHintCode::Redraw});
    }
    return true;
}

std::span<const std::uint8_t> VehicleDocument::Plane(int set, int car, int view) const {
    if (!IsValidView(view)) {
        return {};
    }
    return CarAt(set, car).planes[std::size_t(view)];
}

std::span<std::uint8_t> VehicleDocument::PlaneForDrawing(int set, int car, int view) {
    Car* record = MutableCar(set, car);
    if (!record || !IsValidView(view) ||
        record->planes[std::size_t(view)].size() != PlaneSize(view, record->length)) {
        return {};
    }
    return record->planes[std::size_t(view)];
}

void VehicleDocument::RebuildCarBitmaps(int set, int car) {
    if (Car* record = MutableCar(set, car)) {
        ++record->bitmapRevision;
    }
}

void VehicleDocument::RebuildAllBitmaps() {
    for (VehicleSet& set : content_.sets) {
        for (Car& car : set.cars) {
            ++car.bitmapRevision;
        }
    }
}

// ---- texts and view state ----

void VehicleDocument::SetAuthor(std::string_view raw) {
    content_.author.Assign(raw);
    SetModified(true);
    MarkTextsEdited();
}

void VehicleDocument::SetInfoText(std::string_view raw) {
    content_.infoText.Assign(raw);
    SetModified(true);
    MarkTextsEdited();
}

int VehicleDocument::CheckAuthorChange(std::string_view newAuthorRaw,
                                       std::string_view defaultAuthorUtf8) const {
    const FixedText<kAuthorField> proposed(newAuthorRaw);
    const std::string_view current = Author();
    if (proposed.View() == current || current.empty() || current == Utf8ToCp1252(defaultAuthorUtf8)) {
        return 0;
    }
    return message::kQuestionReplaceAuthor;
}

ViewStateWords* VehicleDocument::MutableViewState(int set) {
    if (set < 0 || set >= kMaxSets) {
        return nullptr;
    }
    return &content_.sets[std::size_t(set)].viewState;
}

ViewStateWords* VehicleDocument::MutableViewState(int set, int car) {
    if (set < 0 || set >= kMaxSets || car < 0 || car >= kMaxCars) {
        return nullptr;
    }
    return &content_.sets[std::size_t(set)].cars[std::size_t(car)].viewState;
}

// ---- structural operations ----

void VehicleDocument::Renumber() {
    for (int s = 0; s < kMaxSets; ++s) {
        for (int c = 0; c < kMaxCars; ++c) {
            Car& car = content_.sets[std::size_t(s)].cars[std::size_t(c)];
            car.setIndex = s;
            car.carIndex = c;
        }
    }
}

bool VehicleDocument::AddVehicleSet(std::string_view nameRaw, MouseMode mouseMode) {
    const int slot = CountSets();
    if (slot >= kMaxSets || nameRaw.empty() || nameRaw.size() > FixedText<kSetNameField>::kCapacity ||
        nameRaw.front() == '\0') {
        return false;
    }
    CloseUndoGroup();
    PrepareChange(mouseMode);
    VehicleSet& set = content_.sets[std::size_t(slot)];
    set.Clear();
    set.name.Assign(nameRaw);
    Notify({VehicleHintCode::SetAdded, slot});
    return true;
}

bool VehicleDocument::AddCar(int set, int slot, std::string_view nameRaw, std::string_view text2Raw,
                             std::string_view text3Raw, int length, const SegmentFlags* segmentFlags,
                             MouseMode mouseMode) {
    if (set < 0 || set >= CountSets() || slot != CountCars(set) || slot >= kMaxCars ||
        !IsValidCarLength(length) || TotalSetLength(set) + length > kMaxSetLength || nameRaw.empty() ||
        nameRaw.front() == '\0') {
        return false;
    }
    CloseUndoGroup();
    PrepareChange(mouseMode);
    VehicleSet& record = content_.sets[std::size_t(set)];
    Car& car = record.cars[std::size_t(slot)];
    car.Clear();
    car.name.Assign(nameRaw);
    car.text2.Assign(text2Raw);
    car.text3.Assign(text3Raw);
    car.length = length;
    car.AllocatePlanes();
    if (segmentFlags) {
        car.segmentFlags = *segmentFlags;
    } else {
        car.segmentFlags = {};
    }
    car.carFlags = 0;
    car.setIndex = set;
    car.carIndex = slot;
    ++record.carCount;
    return true;
}

void VehicleDocument::ShiftSetsDown(int from) {
    const int last = CountSets() - 1;
    for (int s = from; s < last; ++s) {
        std::swap(content_.sets[std::size_t(s)], content_.sets[std::size_t(s + 1)]);
    }
    content_.sets[std::size_t(last)].Clear();
}

bool VehicleDocument::DeleteVehicleSet(int set, bool notify, MouseMode mouseMode) {
    if (set < 0 || set >= CountSets()) {
        return false;
    }
    if (notify) {
        Notify({VehicleHintCode::SetAboutToBeDeleted, set});
    }
    CloseUndoGroup();
    PrepareChange(mouseMode);
    ShiftSetsDown(set);
    Renumber();
    if (notify) {
        Notify({VehicleHintCode::SetDeleted});
    }
    return true;
}

bool VehicleDocument::DeleteVehicleSet(const VehicleSet& record, bool notify, MouseMode mouseMode) {
    const int set = FindSet(record);
    return set >= 0 && DeleteVehicleSet(set, notify, mouseMode);
}

bool VehicleDocument::DeleteCar(int set, int car, bool notify, MouseMode mouseMode) {
    if (!IsCar(set, car)) {
        return false;
    }
    if (notify) {
        Notify({VehicleHintCode::CarAboutToBeDeleted, set, car});
    }
    // A step of its own like every structural change: joined to the open group, its undo would
    // take the edit before it along.
    CloseUndoGroup();
    PrepareChange(mouseMode);
    VehicleSet& record = content_.sets[std::size_t(set)];
    const int last = CountCars(set) - 1;
    for (int c = car; c < last; ++c) {
        std::swap(record.cars[std::size_t(c)], record.cars[std::size_t(c + 1)]);
    }
    record.carCount = last;
    record.cars[std::size_t(last)].Clear();
    Renumber();
    if (notify) {
        UpdateDoc(1);
        Notify({VehicleHintCode::CarDeleted});
    }
    return true;
}

bool VehicleDocument::DeleteCar(const Car& record, bool notify, MouseMode mouseMode) {
    const auto position = FindCar(record);
    return position && DeleteCar(position->set, position->car, notify, mouseMode);
}

bool VehicleDocument::MoveCarForward(int set, int car, bool notify, MouseMode mouseMode) {
    if (!IsCar(set, car) || car < 1) {
        return false;
    }
    return MoveCarBack(set, car - 1, notify, mouseMode);
}

bool VehicleDocument::MoveCarBack(int set, int car, bool notify, MouseMode mouseMode) {
    if (!IsCar(set, car) || car + 1 >= CountCars(set)) {
        return false;
    }
    CloseUndoGroup();
    PrepareChange(mouseMode);
    if (notify) {
        Notify({VehicleHintCode::AboutToMove});
    }
    auto& cars = content_.sets[std::size_t(set)].cars;
    std::swap(cars[std::size_t(car)], cars[std::size_t(car + 1)]);
    Renumber();
    if (notify) {
        UpdateDoc(1);
        Notify({VehicleHintCode::RebuildAll});
    }
    return true;
}

bool VehicleDocument::MoveSetForward(int set, bool notify, MouseMode mouseMode) {
    if (set < 1 || set >= CountSets()) {
        return false;
    }
    return MoveSetBack(set - 1, notify, mouseMode);
}

bool VehicleDocument::MoveSetBack(int set, bool notify, MouseMode mouseMode) {
    if (set < 0 || set + 1 >= CountSets()) {
        return false;
    }
    CloseUndoGroup();
    PrepareChange(mouseMode);
    if (notify) {
        Notify({VehicleHintCode::AboutToMove});
    }
    std::swap(content_.sets[std::size_t(set)], content_.sets[std::size_t(set + 1)]);
    Renumber();
    if (notify) {
        UpdateDoc(1);
        Notify({VehicleHintCode::RebuildAll});
    }
    return true;
}

bool VehicleDocument::RenameVehicleSet(int set, std::string_view nameRaw, MouseMode mouseMode) {
    if (CheckRenameSet(set, nameRaw) != 0) {
        return false;
    }
    CloseUndoGroup();
    PrepareChange(mouseMode);
    content_.sets[std::size_t(set)].name.Assign(nameRaw);
    Notify({VehicleHintCode::SetRenamed, set});
    return true;
}

bool VehicleDocument::SetCarTexts(int set, int car, std::string_view nameRaw, std::string_view text2Raw,
                                  std::string_view text3Raw, const VehicleDocumentListener* sender,
                                  MouseMode mouseMode, bool continueStep) {
    Car* record = MutableCar(set, car);
    if (!record || nameRaw.empty() || nameRaw.front() == '\0') {
        return false;
    }
    if (!continueStep) {
        CloseUndoGroup();
    }
    PrepareChange(mouseMode);
    record->name.Assign(nameRaw);
    record->text2.Assign(text2Raw);
    record->text3.Assign(text3Raw);
    Notify({VehicleHintCode::CarChangedInView, set, car}, sender);
    Notify({VehicleHintCode::CarTextsChanged, set, car});
    return true;
}

bool VehicleDocument::SetCarFlags(int set, int car, std::uint32_t flags,
                                  const VehicleDocumentListener* sender, MouseMode mouseMode,
                                  bool continueStep) {
    Car* record = MutableCar(set, car);
    if (!record) {
        return false;
    }
    if (!continueStep) {
        CloseUndoGroup();
    }
    PrepareChange(mouseMode);
    record->carFlags = flags;
    Notify({VehicleHintCode::CarChangedInView, set, car}, sender);
    return true;
}

std::uint16_t VehicleDocument::SegmentWord(int set, int car, int view, int segment) const {
    if (!IsCar(set, car) || !IsValidView(view) || segment < 0 || segment >= kMaxSegments) {
        return 0;
    }
    return CarAt(set, car).segmentFlags[std::size_t(view)][std::size_t(segment)];
}

bool VehicleDocument::SetSteamValue(int set, int car, int view, int segment, std::uint16_t value,
                                    MouseMode mouseMode) {
    Car* record = MutableCar(set, car);
    if (!record || !IsValidView(view) || segment < 0 || segment >= record->length) {
        return false;
    }
    CloseUndoGroup();
    PrepareChange(mouseMode);
    record->segmentFlags[std::size_t(view)][std::size_t(segment)] = SteamChoice(value);
    Notify({VehicleHintCode::Redraw});
    return true;
}

// ---- dialog checks ----

int VehicleDocument::CheckNewSet(std::string_view nameRaw) const {
    if (CountSets() >= kMaxSets) {
        return message::kSetsFullOrNothingChosen;
    }
    if (nameRaw.empty()) {
        return message::kSetNameEmpty;
    }
    if (nameRaw.size() > FixedText<kSetNameField>::kCapacity) {
        return message::kSetNameTooLong;
    }
    return 0;
}

int VehicleDocument::CheckNewCar(int set, int length, std::string_view nameRaw) const {
    if (set < 0 || set >= CountSets() || !IsValidCarLength(length)) {
        return message::kSetsFullOrNothingChosen;
    }
    if (nameRaw.empty()) {
        return message::kCarNameEmpty;
    }
    if (CountCars(set) >= kMaxCars) {
        return message::kSetHoldsEightCars;
    }
    if (TotalSetLength(set) + length > kMaxSetLength) {
        return message::kSetTooLong;
    }
    return 0;
}

int VehicleDocument::CheckRenameSet(int set, std::string_view nameRaw) const {
    if (set < 0 || set >= CountSets()) {
        return -1;
    }
    if (nameRaw.empty() || nameRaw.front() == '\0') {
        return message::kSetNameEmpty;
    }
    if (nameRaw.size() > FixedText<kSetNameField>::kCapacity) {
        return message::kSetNameTooLong;
    }
    return 0;
}

int VehicleDocument::CheckPasteCar(int set, const Car& car) const {
    if (set < 0 || set >= CountSets() || !car.IsUsed() || !HasValidPlanes(car)) {
        return -1;
    }
    if (CountCars(set) >= kMaxCars) {
        return message::kSetHoldsEightCars;
    }
    if (TotalSetLength(set) + car.length > kMaxSetLength) {
        return message::kSetTooLong;
    }
    return 0;
}

int VehicleDocument::NewVehicleSet(std::string_view nameRaw, MouseMode mouseMode) {
    if (const int problem = CheckNewSet(nameRaw); problem != 0) {
        return problem;
    }
    return AddVehicleSet(nameRaw, mouseMode) ? 0 : message::kAddSetFailed;
}

int VehicleDocument::NewCar(int set, std::string_view nameRaw, int length, MouseMode mouseMode) {
    if (const int problem = CheckNewCar(set, length, nameRaw); problem != 0) {
        return problem;
    }
    const int slot = CountCars(set);
    if (!AddCar(set, slot, nameRaw, {}, {}, length, nullptr, mouseMode)) {
        return -1;
    }
    UpdateDoc(1);
    Notify({VehicleHintCode::Added, set, slot});
    return 0;
}

int VehicleDocument::PasteCar(int set, const Car& car, MouseMode mouseMode) {
    if (const int problem = CheckPasteCar(set, car); problem != 0) {
        return problem;
    }
    CloseUndoGroup();
    PrepareChange(mouseMode);
    VehicleSet& record = content_.sets[std::size_t(set)];
    const int slot = CountCars(set);
    record.cars[std::size_t(slot)].CopyFrom(car);
    ++record.carCount;
    Renumber();
    UpdateDoc(1);
    Notify({VehicleHintCode::Added, set, slot});
    return 0;
}

int VehicleDocument::PasteSet(const VehicleSet& set, MouseMode mouseMode) {
    const int slot = CountSets();
    if (slot >= kMaxSets || !set.IsUsed() || set.carCount < 1 || set.carCount > kMaxCars) {
        return -1;
    }
    int length = 0;
    for (int c = 0; c < set.carCount; ++c) {
        const Car& car = set.cars[std::size_t(c)];
        if (!HasValidPlanes(car)) {
            return -1;
        }
        length += car.length;
    }
    if (length > kMaxSetLength) {
        return -1;
    }
    CloseUndoGroup();
    PrepareChange(mouseMode);
    VehicleSet& record = content_.sets[std::size_t(slot)];
    record.CopyFrom(set);
    for (int c = set.carCount; c < kMaxCars; ++c) {
        record.cars[std::size_t(c)].Clear();
    }
    Renumber();
    UpdateDoc(1);
    Notify({VehicleHintCode::Added, slot});
    SetModified(true);
    return slot;
}

void VehicleDocument::RequestCarSelection(int set, int car, int view) {
    Notify({VehicleHintCode::SelectCar, set, car, view});
}

void VehicleDocument::UpdateDoc(int action) {
    switch (action) {
        case 1:
            RebuildAllBitmaps();
            Notify({VehicleHintCode::Redraw});
            break;
        case 2:
            Notify({VehicleHintCode::Tick});
            break;
        case 4:
            Notify({VehicleHintCode::FontChanged});
            break;
        default:
            break;
    }
}

// ---- undo ----

VehicleSnapshot VehicleDocument::NewSnapshotBuffer() const {
    VehicleSnapshot buffer;
    buffer.block.assign(kSnapshotCapacity, 0);
    return buffer;
}

void VehicleDocument::CaptureSnapshot(VehicleSnapshot& into) const {
    std::array<SnapshotTreeStates, kMaxRecordedViews> views;
    const std::size_t count = std::min(listeners_.size(), views.size());
    for (std::size_t v = 0; v < count; ++v) {
        views[v].view = listenerIds_[v];
        views[v].count = listeners_[v]->CaptureTreeStates(views[v].words);
    }
    WriteVehicleSnapshot(content_, std::span(views.data(), count), into);
}

void VehicleDocument::RestoreSnapshot(const VehicleSnapshot& from) {
    // The words of the views open now, for those the block has none of (opened after it).
    std::vector<ViewStateWords> live;
    live.reserve(std::size_t(kMaxSets) * (1 + kMaxCars));
    ForEachViewState([&live](ViewStateWords& words) { live.push_back(words); });

    std::vector<SnapshotTreeStates> blockViews;
    try {
        blockViews = ReadVehicleSnapshot(from, content_);
    } catch (const ByteReaderError&) {
        // Our own blocks always hold what was written; nothing sensible remains to do here.
        return;
    }
    Renumber();
    // Views were closed since, so word numbers moved: each open view takes the words its own
    // column held, found by its identity; one the block does not know keeps what it has.
    const std::size_t open = std::min(listeners_.size(), std::size_t(kMaxRecordedViews));
    std::array<int, kMaxRecordedViews> column{};
    for (std::size_t n = 0; n < open; ++n) {
        const auto it =
            std::find_if(blockViews.begin(), blockViews.end(),
                         [&](const SnapshotTreeStates& view) { return view.view == listenerIds_[n]; });
        column[n] = it == blockViews.end() ? -1 : int(it - blockViews.begin());
    }
    std::size_t record = 0;
    ForEachViewState([&](ViewStateWords& words) {
        const ViewStateWords restored = words;
        words = {};
        for (std::size_t n = 0; n < open; ++n) {
            words[n] = column[n] >= 0 ? restored[std::size_t(column[n])] : live[record][n];
        }
        ++record;
    });
    for (std::size_t n = 0; n < open; ++n) {
        if (column[n] >= 0) {
            const SnapshotTreeStates& view = blockViews[std::size_t(column[n])];
            listeners_[n]->RestoreTreeStates(std::span(view.words.data(), view.count));
        }
    }
}

void VehicleDocument::OnContentRestored() {
    RebuildAllBitmaps();
    Notify({VehicleHintCode::RebuildAll});
}

}  // namespace zobl
