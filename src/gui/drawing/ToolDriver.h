#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "core/drawing/ToolSession.h"

namespace zobl {

// A window's mouse tools over the surface it draws on, as the shared mouse handling drives
// them: press, moves and release in pixel coordinates, nullopt beside the pixels.
class ToolDriver {
public:
    virtual ~ToolDriver() = default;
    // A drag is under way (it wants ticks and scrolls by itself).
    virtual bool Active() const = 0;
    virtual MouseButton Button() const = 0;
    // The marking being drawn, as press and current pixel, if any.
    virtual std::optional<std::pair<PixelPoint, PixelPoint>> Marking() const = 0;
    // Press and release return false when there is nothing to draw on (the press is then not
    // taken, the release ends nothing).
    virtual bool Press(MouseMode mode, MouseButton button, std::optional<PixelPoint> hit) = 0;
    // constrain: Shift keeps a line or rectangle in form; ctrl: Ctrl frames a filled rectangle.
    virtual void Move(std::optional<PixelPoint> hit, bool constrain) = 0;
    virtual bool Release(MouseButton button, std::optional<PixelPoint> hit, bool ctrl, bool constrain) = 0;
    // No release will come (the window lost what it drew on).
    virtual void Cancel() = 0;
};

// The tool session of one kind of surface. The window hands what it draws on now (none when
// nothing) and is told after a press or release, which may have changed its document's state.
template <ToolSurface S>
class SurfaceTools final : public ToolDriver {
public:
    using SurfaceOf = std::function<std::optional<S>()>;

    SurfaceTools(ToolHost& host, ToolRules rules, SurfaceOf surface, std::function<void()> clicked)
        : session_(host, rules), surface_(std::move(surface)), clicked_(std::move(clicked)) {}

    const ToolSession<S>& Session() const noexcept { return session_; }

    bool Active() const override { return session_.Active(); }
    MouseButton Button() const override { return session_.Button(); }
    std::optional<std::pair<PixelPoint, PixelPoint>> Marking() const override {
        if (!session_.Marking()) {
            return std::nullopt;
        }
        return std::pair{session_.PressPoint(), session_.CurrentPoint()};
    }
    bool Press(MouseMode mode, MouseButton button, std::optional<PixelPoint> hit) override {
        std::optional<S> surface = surface_();
        if (!surface) {
            return false;
        }
        session_.Press(*surface, mode, button, hit);
        clicked_();
        return true;
    }
    void Move(std::optional<PixelPoint> hit, bool constrain) override {
        if (std::optional<S> surface = surface_()) {
            session_.Move(*surface, hit, constrain);
        }
    }
    bool Release(MouseButton button, std::optional<PixelPoint> hit, bool ctrl, bool constrain) override {
        std::optional<S> surface = surface_();
        if (!surface) {
            return false;
        }
        session_.Release(*surface, button, hit, ctrl, constrain);
        clicked_();
        return true;
    }
    void Cancel() override { session_.Cancel(); }

private:
    ToolSession<S> session_;
    SurfaceOf surface_;
    std::function<void()> clicked_;
};

}  // namespace zobl
