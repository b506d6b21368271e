#include "gui/framework/EditorServices.h"

#include "core/settings/GeneralSettings.h"

namespace zobl {

MouseMode DrawingChoices::SetMouseMode(MouseMode mode) {
    const MouseMode old = mouseMode_.Set(mode);
    emit MouseModeChanged(mode);
    return old;
}

int DrawingChoices::GetColor1() const noexcept {
    return settings_.color1;
}

int DrawingChoices::GetColor2() const noexcept {
    return settings_.color2;
}

int DrawingChoices::SetColor1(int colour) {
    return SetDrawingColour(settings_.color1, colour);
}

int DrawingChoices::SetColor2(int colour) {
    return SetDrawingColour(settings_.color2, colour);
}

int DrawingChoices::SetDrawingColour(int& member, int colour) {
    const int old = member;
    member = colour;
    if (old != colour) {
        emit DrawingColoursChanged();
        if (settings_.undoByColorChange && colourChanged_) {
            colourChanged_();
        }
    }
    return old;
}

}  // namespace zobl
