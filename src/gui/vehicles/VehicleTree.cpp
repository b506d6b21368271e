#include "gui/vehicles/VehicleTree.h"
#include "gui/vehicles/RawText.h"

#include <QHeaderView>
#include <QSignalBlocker>

#include "core/vehicles/VehicleDocument.h"
#include "gui/lang/Localization.h"
#include "gui/vehicles/VehicleTreeImages.h"

namespace zobl {

using namespace vehicle_tree;

namespace {
// An item's target in one value (image, set, car + 1 in bytes): one item data entry is what
// a rebuild of several hundred items can afford.
constexpr int kTargetRole = Qt::UserRole;

int PackTarget(int image, int set, int car) {
    return (image << 16) | ((set & 0xFF) << 8) | ((car + 1) & 0xFF);
}

// Changing the expansion lays the tree out again; most items keep theirs.
void SetExpanded(QTreeWidgetItem* item, bool expanded) {
    if (item->isExpanded() != expanded) {
        item->setExpanded(expanded);
    }
}
}  // namespace

VehicleTree::VehicleTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    // Long names scroll sideways rather than being cut off.
    setTextElideMode(Qt::ElideNone);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    for (int image = 0; image < kImageCount; ++image) {
        icons_[std::size_t(image)] = VehicleTreeIcon(image);
    }
}

VehicleTree::~VehicleTree() = default;

void VehicleTree::LoadTexts(const CLanguageManager& language) {
    for (std::size_t i = 0; i < kChildTextKeys.size(); ++i) {
        childTexts_[i] = GetText(language, kChildTextKeys[i], kDataSection);
    }
}

QTreeWidgetItem* VehicleTree::NewItem(int image, int set, int car, const QString& text) const {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setIcon(0, icons_[std::size_t(image)]);
    item->setData(0, kTargetRole, PackTarget(image, set, car));
    return item;
}

void VehicleTree::Rebuild(const VehicleDocument& doc, int viewNumber) {
    const QSignalBlocker blocker(this);
    setUpdatesEnabled(false);
    clear();
    QList<QTreeWidgetItem*> sets;
    for (int s = 0; s < doc.CountSets(); ++s) {
        QTreeWidgetItem* setItem = NewItem(kSetImage, s, -1, FromRaw(doc.Set(s).name.View()));
        for (int c = 0; c < doc.CountCars(s); ++c) {
            QTreeWidgetItem* carItem = NewItem(kCarImage, s, c, FromRaw(doc.CarAt(s, c).name.View()));
            for (std::size_t i = 0; i < kChildImages.size(); ++i) {
                carItem->addChild(NewItem(kChildImages[i], s, c, childTexts_[i]));
            }
            setItem->addChild(carItem);
        }
        sets.append(setItem);
    }
    addTopLevelItems(sets);
    RestoreState(doc, viewNumber);
    setUpdatesEnabled(true);
}

void VehicleTree::RecordState(VehicleDocument& doc, int viewNumber) const {
    if (viewNumber < 0 || viewNumber >= VehicleDocument::kMaxRecordedViews) {
        return;
    }
    const auto n = std::size_t(viewNumber);
    for (int s = 0; s < vehicles::kMaxSets; ++s) {
        (*doc.MutableViewState(s))[n] = 0;
        for (int c = 0; c < vehicles::kMaxCars; ++c) {
            (*doc.MutableViewState(s, c))[n] = 0;
        }
    }
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QTreeWidgetItem* setItem = topLevelItem(i);
        const auto setTarget = TargetOf(setItem);
        ViewStateWords* setWords = doc.MutableViewState(setTarget->set);
        if (setWords == nullptr) {
            continue;
        }
        (*setWords)[n] |=
            (setItem->isExpanded() ? kExpandedBit : 0) | (setItem->isSelected() ? kSelectedBit : 0);
        for (int c = 0; c < setItem->childCount(); ++c) {
            const QTreeWidgetItem* carItem = setItem->child(c);
            const auto carTarget = TargetOf(carItem);
            ViewStateWords* carWords = doc.MutableViewState(carTarget->set, carTarget->car);
            if (carWords == nullptr) {
                continue;
            }
            std::int32_t word =
                (carItem->isExpanded() ? kExpandedBit : 0) | (carItem->isSelected() ? kSelectedBit : 0);
            for (int k = 0; k < carItem->childCount(); ++k) {
                const QTreeWidgetItem* child = carItem->child(k);
                if (child->isSelected()) {
                    word |= ChildSelectedBit(TargetOf(child)->image);
                }
            }
            (*carWords)[n] = word;
        }
    }
}

void VehicleTree::RestoreState(const VehicleDocument& doc, int viewNumber) {
    if (viewNumber < 0 || viewNumber >= VehicleDocument::kMaxRecordedViews) {
        return;
    }
    const QSignalBlocker blocker(this);
    const auto n = std::size_t(viewNumber);
    QTreeWidgetItem* selected = nullptr;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* setItem = topLevelItem(i);
        const std::int32_t setWord = doc.Set(TargetOf(setItem)->set).viewState[n];
        SetExpanded(setItem, (setWord & kExpandedBit) != 0);
        if (setWord & kSelectedBit) {
            selected = setItem;
        }
        for (int c = 0; c < setItem->childCount(); ++c) {
            QTreeWidgetItem* carItem = setItem->child(c);
            const auto target = TargetOf(carItem);
            const std::int32_t carWord = doc.CarAt(target->set, target->car).viewState[n];
            SetExpanded(carItem, (carWord & kExpandedBit) != 0);
            if (carWord & kSelectedBit) {
                selected = carItem;
            }
            for (int k = 0; k < carItem->childCount(); ++k) {
                QTreeWidgetItem* child = carItem->child(k);
                if (carWord & ChildSelectedBit(TargetOf(child)->image)) {
                    selected = child;
                }
            }
        }
    }
    clearSelection();
    setCurrentItem(selected);
    if (selected != nullptr) {
        scrollToItem(selected);
    }
}

std::size_t VehicleTree::TopLevelStates(std::span<std::int32_t> into) const {
    const std::size_t count = std::min(into.size(), std::size_t(topLevelItemCount()));
    for (std::size_t i = 0; i < count; ++i) {
        const QTreeWidgetItem* item = topLevelItem(int(i));
        into[i] =
            (item->isExpanded() ? kItemExpandedState : 0) | (item->isSelected() ? kItemSelectedState : 0);
    }
    return count;
}

std::optional<VehicleTreeTarget> VehicleTree::TargetOf(const QTreeWidgetItem* item) {
    if (item == nullptr) {
        return std::nullopt;
    }
    const int packed = item->data(0, kTargetRole).toInt();
    return VehicleTreeTarget{packed >> 16, (packed >> 8) & 0xFF, (packed & 0xFF) - 1};
}

std::optional<VehicleTreeTarget> VehicleTree::SelectedTarget() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? std::nullopt : TargetOf(items.constFirst());
}

bool VehicleTree::HasWindowFocus() const {
    return window()->focusWidget() == this;
}

QTreeWidgetItem* VehicleTree::SetItem(int set) const {
    return (set >= 0 && set < topLevelItemCount()) ? topLevelItem(set) : nullptr;
}

QTreeWidgetItem* VehicleTree::CarItem(int set, int car) const {
    QTreeWidgetItem* setItem = SetItem(set);
    return (setItem != nullptr && car >= 0 && car < setItem->childCount()) ? setItem->child(car) : nullptr;
}

void VehicleTree::SelectItem(QTreeWidgetItem* item) {
    if (item == nullptr) {
        return;
    }
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
}

bool VehicleTree::SelectSet(int set) {
    QTreeWidgetItem* item = SetItem(set);
    SelectItem(item);
    return item != nullptr;
}

bool VehicleTree::SelectCar(int set, int car) {
    QTreeWidgetItem* item = CarItem(set, car);
    SelectItem(item);
    return item != nullptr;
}

void VehicleTree::SetSetText(int set, const QString& text) {
    if (QTreeWidgetItem* item = SetItem(set)) {
        item->setText(0, text);
    }
}

void VehicleTree::SetCarText(int set, int car, const QString& text) {
    if (QTreeWidgetItem* item = CarItem(set, car)) {
        item->setText(0, text);
    }
}

}  // namespace zobl
