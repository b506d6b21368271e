#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include <QString>
#include <QTreeWidget>

namespace zobl {

class CLanguageManager;
class VehicleDocument;

// What a tree item stands for. The images are the item kinds: 3 a set, 4 a car, 5..8 the car's
// views 1, 2, 0 and 3, 9 its properties.
namespace vehicle_tree {
inline constexpr int kSetImage = 3;
inline constexpr int kCarImage = 4;
inline constexpr int kPropertiesImage = 9;
inline constexpr int kImageCount = 10;  // 0..2 are not used by items
// The five children of a car in tree order, with their label keys (section "DATA").
inline constexpr std::array<int, 5> kChildImages = {5, 6, 8, 7, 9};
inline constexpr std::array<int, 5> kChildTextKeys = {1030, 1031, 1032, 1033, 1034};

// State word bits of a set or car, one word per view: expanded, selected, and for a car which
// of its children is selected (images 5..9).
inline constexpr std::int32_t kExpandedBit = 1;
inline constexpr std::int32_t kSelectedBit = 2;
constexpr std::int32_t ChildSelectedBit(int image) {
    return (image >= 5 && image <= 9) ? std::int32_t(4) << (image - 5) : 0;
}
inline constexpr std::int32_t kChildSelectedBits = 4 | 8 | 16 | 32 | 64;
// The tree control's own state bits of a top-level item, as undo snapshots keep them.
inline constexpr std::int32_t kItemSelectedState = 0x02;
inline constexpr std::int32_t kItemExpandedState = 0x20;

// Editor mode of an item image: 1..4 the car editor with view 1, 2, 0, 3; 5 the properties.
constexpr int EditorModeOf(int image) {
    switch (image) {
        case 5:
            return 1;
        case 6:
            return 2;
        case 7:
            return 3;
        case 8:
            return 4;
        case 9:
            return 5;
        default:
            return 0;
    }
}
// The car view an item image shows: 5 -> 1, 6 -> 2, 7 -> 0, 8 -> 3; -1 for the others.
constexpr int CarViewOf(int image) {
    switch (image) {
        case 5:
            return 1;
        case 6:
            return 2;
        case 7:
            return 0;
        case 8:
            return 3;
        default:
            return -1;
    }
}
}  // namespace vehicle_tree

// The record an item stands for, by position: set, car (-1 for a set item) and image.
struct VehicleTreeTarget {
    int image = 0;
    int set = -1;
    int car = -1;
    bool IsSet() const { return image == vehicle_tree::kSetImage; }
    bool IsCar() const { return image == vehicle_tree::kCarImage; }
    bool IsCarView() const { return vehicle_tree::CarViewOf(image) >= 0; }
    bool IsProperties() const { return image == vehicle_tree::kPropertiesImage; }
    friend bool operator==(const VehicleTreeTarget&, const VehicleTreeTarget&) = default;
};

// The tree of a vehicle view: sets, their cars, and under each car its four views and its
// properties. Items carry positions, not pointers, so a rebuild after any change of the
// document is always consistent. The tree state of a view (expanded and selected items) is
// kept in the records' view state words under the view's number, so it moves with the
// records when sets or cars are moved, deleted or brought back by undo.
class VehicleTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit VehicleTree(QWidget* parent = nullptr);
    ~VehicleTree() override;

    // Takes the child labels from the language file; call before the first Rebuild.
    void LoadTexts(const CLanguageManager& language);

    // Deletes every item and builds the tree of doc anew; then restores the state of view
    // number viewNumber (0..99; others restore nothing). No selection signal is sent.
    void Rebuild(const VehicleDocument& doc, int viewNumber);
    // Writes the tree's state into word viewNumber of every record; the bits of records
    // without an item, and bits no longer true, are cleared.
    void RecordState(VehicleDocument& doc, int viewNumber) const;
    // Expands and selects from word viewNumber; items whose bits are clear are collapsed and
    // not selected. The last selected item in tree order wins. No selection signal is sent.
    void RestoreState(const VehicleDocument& doc, int viewNumber);
    // The tree control's state bits (kItemExpandedState, kItemSelectedState) of the top-level
    // items in order; at most into.size().
    std::size_t TopLevelStates(std::span<std::int32_t> into) const;

    static std::optional<VehicleTreeTarget> TargetOf(const QTreeWidgetItem* item);
    std::optional<VehicleTreeTarget> SelectedTarget() const;
    QTreeWidgetItem* SetItem(int set) const;
    QTreeWidgetItem* CarItem(int set, int car) const;
    // Select and show; false when there is no such item.
    bool SelectSet(int set);
    bool SelectCar(int set, int car);
    void SelectItem(QTreeWidgetItem* item);
    // Whether the tree has its window's focus, not the application's: a menu of the main
    // window may be open.
    bool HasWindowFocus() const;

    void SetSetText(int set, const QString& text);
    void SetCarText(int set, int car, const QString& text);

private:
    QTreeWidgetItem* NewItem(int image, int set, int car, const QString& text) const;

    std::array<QIcon, vehicle_tree::kImageCount> icons_;
    std::array<QString, 5> childTexts_;
};

}  // namespace zobl
