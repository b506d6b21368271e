#pragma once

#include <QScrollArea>

#include "gui/framework/View.h"

class QLabel;

namespace zobl {

class CGSDoc;
class Palette;

// A plain picture of a scenery document at zoom 2, until the scenery editor view takes its place
// in the scenery template.
class CSceneryPreviewView : public QScrollArea, public View {
    Q_OBJECT
public:
    static constexpr int kZoom = 2;

    CSceneryPreviewView(CGSDoc& document, const Palette& palette);

    QWidget* Widget() override { return this; }
    void OnUpdate(View* sender, int hint, HintRecord* record) override;
    QSize sizeHint() const override;

    // The picture as shown (for tests).
    QImage Picture() const;

private:
    void Rebuild();

    CGSDoc& document_;
    const Palette& palette_;
    QLabel* picture_;
};

}  // namespace zobl
