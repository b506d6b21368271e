#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zobl {

// A growable last-in-first-out stack of 32-bit integers: the overflow work list of the flood
// fill. Storage grows by a fixed step when the stack is full and is kept when it empties.
class CUBStack {
public:
    static constexpr std::int32_t kDefaultGrowthStep = 1024;

    explicit CUBStack(std::int32_t growthStep = kDefaultGrowthStep);
    virtual ~CUBStack() = default;

    CUBStack(const CUBStack&) = delete;
    CUBStack& operator=(const CUBStack&) = delete;

    // False when the storage could not grow; the value is then not stored.
    bool Push(std::int32_t value);
    // False on an empty stack, leaving value untouched.
    bool Pop(std::int32_t& value);
    // Empties the stack and frees its storage.
    void Clear();

    std::int32_t Count() const noexcept { return count_; }
    std::int32_t Capacity() const noexcept { return capacity_; }
    std::int32_t GrowthStep() const noexcept { return growthStep_; }

private:
    std::int32_t growthStep_;
    std::unique_ptr<std::int32_t[]> items_;
    std::int32_t capacity_ = 0;
    std::int32_t count_ = 0;
};

// Counts the work stacks alive, so that a stack that is never destroyed is reported when the
// program ends. The application owns one; every view creates and destroys its stack through it.
class CStackList {
public:
    // Nullptr when the stack could not be allocated.
    std::unique_ptr<CUBStack> CreateStack(std::int32_t growthStep);
    // False when there is no stack to destroy.
    bool DestroyStack(std::unique_ptr<CUBStack>& stack);

    int OpenStacks() const noexcept { return openStacks_; }
    // The leak report shown at exit ("%d Open Stacks found!"), or nothing when every stack was
    // destroyed.
    std::optional<std::string> LeakReport() const;

    static constexpr const char* kLeakCaption = "UB STACKLIST DEBUGGER";

private:
    int openStacks_ = 0;
};

}  // namespace zobl
