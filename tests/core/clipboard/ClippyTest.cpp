#include <gtest/gtest.h>

#include "core/clipboard/Clippy.h"

namespace zobl {
namespace {

Car MakeCar(int length, const char* name) {
    Car car;
    car.length = length;
    car.name.Assign(name);
    if (length > 0) {
        car.AllocatePlanes();
    }
    car.viewState[3] = 2;
    return car;
}

TEST(Clippy, SlotsCountOnlyWhatCanBePasted) {
    struct CarCase {
        int length;
        const char* name;
        bool filled;
    };
    for (const CarCase c :
         {CarCase{0, "", false}, CarCase{0, "Lok", false}, CarCase{3, "", false}, CarCase{3, "Lok", true}}) {
        CClippy clipboard;
        clipboard.SetCar(MakeCar(c.length, c.name));
        EXPECT_EQ(clipboard.HasCar(), c.filled) << c.length << " " << c.name;
    }
    struct SetCase {
        const char* name;
        int cars;
        bool filled;
    };
    for (const SetCase c : {SetCase{"", 1, false}, SetCase{"Zug", 0, false}, SetCase{"Zug", 2, true}}) {
        VehicleSet set;
        set.name.Assign(c.name);
        for (int i = 0; i < c.cars; ++i) {
            set.cars[std::size_t(i)] = MakeCar(2, "W");
        }
        set.carCount = c.cars;
        CClippy clipboard;
        clipboard.SetVehicleSet(set);
        EXPECT_EQ(clipboard.HasVehicleSet(), c.filled) << c.name << " " << c.cars;
    }
}

TEST(Clippy, CopiesAreItsOwnAndLeaveTheWindowsStateBehind) {
    Car source = MakeCar(2, "Lok");
    source.planes[1][5] = 17;
    CClippy clipboard;
    clipboard.SetCar(source);
    source.planes[1][5] = 40;
    source.name.Assign("Anders");
    EXPECT_EQ(clipboard.GetCar().planes[1][5], 17);
    EXPECT_EQ(clipboard.GetCar().name.View(), "Lok");
    EXPECT_EQ(clipboard.GetCar().viewState[3], 0);

    VehicleSet set;
    set.name.Assign("Zug");
    set.cars[0] = MakeCar(1, "W");
    set.carCount = 1;
    set.viewState[0] = 1;
    clipboard.SetVehicleSet(set);
    EXPECT_EQ(clipboard.GetVehicleSet().viewState[0], 0);
    EXPECT_EQ(clipboard.GetVehicleSet().cars[0].viewState[3], 0);
    clipboard.ClearVehicleSlots();
    EXPECT_FALSE(clipboard.HasCar());
    EXPECT_FALSE(clipboard.HasVehicleSet());
}

}  // namespace
}  // namespace zobl
