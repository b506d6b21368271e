#include "core/drawing/UBStack.h"

#include <algorithm>
#include <limits>
#include <new>

namespace zobl {

// A step below 1 would never grow the storage and the next push would land outside it.
CUBStack::CUBStack(std::int32_t growthStep) : growthStep_(std::max<std::int32_t>(growthStep, 1)) {}

bool CUBStack::Push(std::int32_t value) {
    if (count_ == capacity_) {
        if (capacity_ > std::numeric_limits<std::int32_t>::max() - growthStep_) {
            return false;
        }
        const std::int32_t grown = capacity_ + growthStep_;
        std::unique_ptr<std::int32_t[]> storage(new (std::nothrow) std::int32_t[grown]);
        if (!storage) {
            return false;
        }
        std::copy_n(items_.get(), count_, storage.get());
        items_ = std::move(storage);
        capacity_ = grown;
    }
    items_[count_++] = value;
    return true;
}

bool CUBStack::Pop(std::int32_t& value) {
    if (count_ == 0) {
        return false;
    }
    value = items_[--count_];
    return true;
}

void CUBStack::Clear() {
    items_.reset();
    capacity_ = 0;
    count_ = 0;
}

std::unique_ptr<CUBStack> CStackList::CreateStack(std::int32_t growthStep) {
    std::unique_ptr<CUBStack> stack(new (std::nothrow) CUBStack(growthStep));
    if (stack) {
        ++openStacks_;
    }
    return stack;
}

bool CStackList::DestroyStack(std::unique_ptr<CUBStack>& stack) {
    if (!stack) {
        return false;
    }
    stack.reset();
    --openStacks_;
    return true;
}

std::optional<std::string> CStackList::LeakReport() const {
    if (openStacks_ <= 0) {
        return std::nullopt;
    }
    return std::to_string(openStacks_) + " Open Stacks found!";
}

}  // namespace zobl
