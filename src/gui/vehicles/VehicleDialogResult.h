#pragma once

#include <QWidget>

#include "gui/framework/MessageService.h"

namespace zobl {

// What the OK callback of a vehicle dialog answers: 0 when the work is done, a message number
// to show (the user corrects the input and tries again), or -1 when the document refused
// without a message. True when the dialog may close.
inline bool ApplyResultCloses(int result, MessageService& messages, QWidget* dialog) {
    if (result > 0) {
        messages.ShowError(result, {}, dialog);
    }
    return result == 0;
}

}  // namespace zobl
