#pragma once

#include <QWidget>

namespace zobl {

class Palette;
namespace simimport {
struct SimVehicle;
}

// The preview of the import: both side views of a simulator vehicle, as the simulator shows them
// (one screen pixel per pixel), the reversed one on top and the one in order 18 pixels below.
// Shows nothing until it has a vehicle with images; it takes no input.
class ImportPreview : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSecondStripOffset = 18;

    explicit ImportPreview(QWidget* parent = nullptr);

    // vehicle (planes in palette indices) stays owned by the caller and must outlive its use
    // here; nullptr shows nothing.
    void Show(const simimport::SimVehicle* vehicle, const Palette* palette);
    // A line of text in place of the picture, for a vehicle that cannot be shown (empty: none).
    void ShowNote(const QString& note);
    const QString& Note() const noexcept { return note_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const simimport::SimVehicle* vehicle_ = nullptr;
    const Palette* palette_ = nullptr;
    QString note_;
};

}  // namespace zobl
