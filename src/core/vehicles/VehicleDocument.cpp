#include "core/vehicles/VehicleDocument.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "core/common/ByteReader.h"
#include "core/text/CodePages.h"
#include "core/vehicles/SteamProperties.h"

namespace zobl {

using namespace vehicles;

namespace {

// Snapshot block: int32 total size; per set slot name (23), car count (1), view state (400),
// then for a named set with cars per car length (1), three texts (3 x 62), segment flags (256),
// CarFlags, SetIndex, CarIndex (4 each), view state (400) and the planes of views 0, 1, 2, 3;
// finally int32 number of views and per view its identity, int32 word count and the tree state
// words. View v of the block owned word v of the records' view state when it was taken.
constexpr std::size_t kSetFixedBytes = kSetNameField + 1 + 4 * kViewStateWordCount;
constexpr std::size_t kCarFixedBytes =
    1 + 3 * kCarTextField + 2 * kViewCount * kMaxSegments + 3 * 4 + 4 * kViewStateWordCount;
constexpr std::size_t kViewEntryBytes = 4 + 4 + 4 * std::size_t(kMaxSets);

// Writes into the snapshot buffer, little-endian, without any allocation.
class BlockWriter {
public:
    explicit BlockWriter(std::uint8_t* out) : out_(out) {}
    void U8(std::uint8_t value) { out_[pos_++] = value; }
    void U16(std::uint16_t value) {
        U8(std::uint8_t(value));
        U8(std::uint8_t(value >> 8));
    }
    void U32(std::uint32_t value) {
        U16(std::uint16_t(value));
        U16(std::uint16_t(value >> 16));
    }
    void I32(std::int32_t value) { U32(std::uint32_t(value)); }
    // Whole arrays of words at once where the host already has the block's byte order.
    template <typename Word, std::size_t N>
    void Words(const std::array<Word, N>& words) {
        if constexpr (std::endian::native == std::endian::little) {
            Bytes(words.data(), sizeof words);
        } else {
            for (const Word word : words) {
                if constexpr (sizeof(Word) == 2) {
                    U16(word);
                } else {
                    U32(std::uint32_t(word));
                }
            }
        }
    }
    void Bytes(const void* bytes, std::size_t count) {
        if (count > 0) {
            std::memcpy(out_ + pos_, bytes, count);
            pos_ += count;
        }
    }
    void I32At(std::size_t position, std::int32_t value) {
        const std::size_t saved = pos_;
        pos_ = position;
        I32(value);
        pos_ = saved;
    }
    std::size_t Position() const { return pos_; }

private:
    std::uint8_t* out_;
    std::size_t pos_ = 0;
};

template <std::size_t N>
void ReadField(ByteReader& in, FixedText<N>& text) {
    const auto field = in.View(N);
    text.Assign(std::string_view(reinterpret_cast<const char*>(field.data()), field.size()));
}

// The reverse of BlockWriter::Words.
template <typename Word, std::size_t N>
void ReadWords(ByteReader& in, std::array<Word, N>& words) {
    const auto bytes = in.View(sizeof words);
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(words.data(), bytes.data(), sizeof words);
    } else {
        for (std::size_t i = 0; i < N; ++i) {
            std::uint32_t word = 0;
            for (std::size_t b = sizeof(Word); b-- > 0;) {
                word = (word << 8) | bytes[i * sizeof(Word) + b];
            }
            words[i] = Word(word);
        }
    }
}

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

const std::size_t VehicleDocument::kSnapshotCapacity =
    4 + kMaxSets * kSetFixedBytes + std::size_t(kMaxSets * kMaxCars) * kCarFixedBytes +
    std::size_t(kMaxSets) * kMaxSetLength * kPlaneBytesPerUnit + 4 +
    std::size_t(kMaxRecordedViews) * kViewEntryBytes;

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
                               int mouseMode) {
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

bool VehicleDocument::AddVehicleSet(std::string_view nameRaw, int mouseMode) {
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
                             int mouseMode) {
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

bool VehicleDocument::DeleteVehicleSet(int set, bool notify, int mouseMode) {
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

bool VehicleDocument::DeleteVehicleSet(const VehicleSet& record, bool notify, int mouseMode) {
    const int set = FindSet(record);
    return set >= 0 && DeleteVehicleSet(set, notify, mouseMode);
}

bool VehicleDocument::DeleteCar(int set, int car, bool notify, int mouseMode) {
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

bool VehicleDocument::DeleteCar(const Car& record, bool notify, int mouseMode) {
    const auto position = FindCar(record);
    return position && DeleteCar(position->set, position->car, notify, mouseMode);
}

bool VehicleDocument::MoveCarForward(int set, int car, bool notify, int mouseMode) {
    if (!IsCar(set, car) || car < 1) {
        return false;
    }
    return MoveCarBack(set, car - 1, notify, mouseMode);
}

bool VehicleDocument::MoveCarBack(int set, int car, bool notify, int mouseMode) {
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

bool VehicleDocument::MoveSetForward(int set, bool notify, int mouseMode) {
    if (set < 1 || set >= CountSets()) {
        return false;
    }
    return MoveSetBack(set - 1, notify, mouseMode);
}

bool VehicleDocument::MoveSetBack(int set, bool notify, int mouseMode) {
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

bool VehicleDocument::RenameVehicleSet(int set, std::string_view nameRaw, int mouseMode) {
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
                                  int mouseMode, bool continueStep) {
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
                                  const VehicleDocumentListener* sender, int mouseMode, bool continueStep) {
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
                                    int mouseMode) {
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

int VehicleDocument::NewVehicleSet(std::string_view nameRaw, int mouseMode) {
    if (const int problem = CheckNewSet(nameRaw); problem != 0) {
        return problem;
    }
    return AddVehicleSet(nameRaw, mouseMode) ? 0 : message::kAddSetFailed;
}

int VehicleDocument::NewCar(int set, std::string_view nameRaw, int length, int mouseMode) {
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

int VehicleDocument::PasteCar(int set, const Car& car, int mouseMode) {
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

int VehicleDocument::PasteSet(const VehicleSet& set, int mouseMode) {
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

std::size_t VehicleDocument::SnapshotSize() const {
    std::size_t size = 4 + kMaxSets * kSetFixedBytes;
    for (int s = 0; s < kMaxSets; ++s) {
        const VehicleSet& set = Set(s);
        if (set.IsUsed() && set.carCount > 0) {
            for (int c = 0; c < CountCars(s); ++c) {
                const Car& car = set.cars[std::size_t(c)];
                size += kCarFixedBytes;
                for (int view = 0; view < kViewCount; ++view) {
                    size += car.planes[std::size_t(view)].size();
                }
            }
        }
    }
    return size + 4 + std::min(listeners_.size(), std::size_t(kMaxRecordedViews)) * kViewEntryBytes;
}

VehicleSnapshot VehicleDocument::NewSnapshotBuffer() const {
    VehicleSnapshot buffer;
    buffer.block.assign(kSnapshotCapacity, 0);
    return buffer;
}

void VehicleDocument::CaptureSnapshot(VehicleSnapshot& into) const {
    const std::size_t bound = SnapshotSize();
    if (into.block.size() < bound) {
        // Only a file with a set beyond the limits gets here; such sets stay as they were
        // read, so their snapshots need room the buffer does not have.
        into.block.resize(bound);
    }
    BlockWriter out(into.block.data());
    out.I32(0);  // total size, filled in at the end
    for (int s = 0; s < kMaxSets; ++s) {
        const VehicleSet& set = Set(s);
        out.Bytes(set.name.Field().data(), kSetNameField);
        out.U8(std::uint8_t(set.carCount));
        out.Words(set.viewState);
        if (!set.IsUsed() || set.carCount == 0) {
            continue;
        }
        for (int c = 0; c < CountCars(s); ++c) {
            const Car& car = set.cars[std::size_t(c)];
            out.U8(std::uint8_t(car.length));
            out.Bytes(car.name.Field().data(), kCarTextField);
            out.Bytes(car.text2.Field().data(), kCarTextField);
            out.Bytes(car.text3.Field().data(), kCarTextField);
            for (const auto& view : car.segmentFlags) {
                out.Words(view);
            }
            out.U32(car.carFlags);
            out.I32(car.setIndex);
            out.I32(car.carIndex);
            out.Words(car.viewState);
            for (const auto& plane : car.planes) {
                out.Bytes(plane.data(), plane.size());
            }
        }
    }
    const std::size_t views = std::min(listeners_.size(), std::size_t(kMaxRecordedViews));
    out.I32(std::int32_t(views));
    for (std::size_t v = 0; v < views; ++v) {
        std::array<std::int32_t, kMaxSets> words{};
        const std::size_t count = std::min(listeners_[v]->CaptureTreeStates(words), words.size());
        out.U32(listenerIds_[v]);
        out.I32(std::int32_t(count));
        for (std::size_t i = 0; i < count; ++i) {
            out.I32(words[i]);
        }
    }
    into.used = out.Position();
    out.I32At(0, std::int32_t(into.used));
}

void VehicleDocument::RestoreSnapshot(const VehicleSnapshot& from) {
    // The words of the views open now, for those the block has none of (opened after it).
    std::vector<ViewStateWords> live;
    live.reserve(std::size_t(kMaxSets) * (1 + kMaxCars));
    ForEachViewState([&live](ViewStateWords& words) { live.push_back(words); });

    ByteReader in(std::span(from.block.data(), std::min(from.used, from.block.size())));
    try {
        in.I32();
        for (VehicleSet& set : content_.sets) {
            ReadField(in, set.name);
            set.carCount = std::min<int>(in.U8(), kMaxCars);
            ReadWords(in, set.viewState);
            // Every field of a restored car is overwritten, so its planes keep their buffers;
            // only the slots behind the restored cars are cleared.
            const int restored = set.IsUsed() ? set.carCount : 0;
            for (int c = restored; c < kMaxCars; ++c) {
                set.cars[std::size_t(c)].Clear();
            }
            for (int c = 0; c < restored; ++c) {
                Car& car = set.cars[std::size_t(c)];
                car.length = in.U8();
                ReadField(in, car.name);
                ReadField(in, car.text2);
                ReadField(in, car.text3);
                for (auto& view : car.segmentFlags) {
                    ReadWords(in, view);
                }
                car.carFlags = in.U32();
                car.setIndex = in.I32();
                car.carIndex = in.I32();
                ReadWords(in, car.viewState);
                for (int view = 0; view < kViewCount; ++view) {
                    const auto bytes = in.View(PlaneSize(view, car.length));
                    car.planes[std::size_t(view)].assign(bytes.begin(), bytes.end());
                }
            }
        }
        Renumber();
        struct BlockView {
            std::uint32_t id = 0;
            std::size_t count = 0;
            std::array<std::int32_t, kMaxSets> words{};
        };
        std::vector<BlockView> blockViews(std::size_t(std::clamp(in.I32(), 0, kMaxRecordedViews)));
        for (BlockView& view : blockViews) {
            view.id = in.U32();
            view.count = std::min<std::size_t>(std::size_t(in.I32()), view.words.size());
            for (std::size_t i = 0; i < view.count; ++i) {
                view.words[i] = in.I32();
            }
        }
        // Views were closed since, so word numbers moved: each open view takes the words its own
        // column held, found by its identity; one the block does not know keeps what it has.
        const std::size_t open = std::min(listeners_.size(), std::size_t(kMaxRecordedViews));
        std::array<int, kMaxRecordedViews> column{};
        for (std::size_t n = 0; n < open; ++n) {
            const auto it = std::find_if(blockViews.begin(), blockViews.end(),
                                         [&](const BlockView& view) { return view.id == listenerIds_[n]; });
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
                const BlockView& view = blockViews[std::size_t(column[n])];
                listeners_[n]->RestoreTreeStates(std::span(view.words.data(), view.count));
            }
        }
    } catch (const ByteReaderError&) {
        // Our own blocks always hold what was written; nothing sensible remains to do here.
    }
}

void VehicleDocument::OnContentRestored() {
    RebuildAllBitmaps();
    Notify({VehicleHintCode::RebuildAll});
}

}  // namespace zobl
