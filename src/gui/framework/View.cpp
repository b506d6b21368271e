#include "gui/framework/View.h"

namespace zobl {

View::~View() {
    if (document_ != nullptr) {
        document_->RemoveView(this);
    }
}

}  // namespace zobl
