// Writes a synthetic simulator catalogue, for trying the vehicle import by hand and for
// screenshots:
//   zobl_synthetic_simulator FOLDER [COUNT [PER_GROUP]]   the data files in FOLDER
//   zobl_synthetic_simulator --wine-prefix PREFIX [COUNT [PER_GROUP]]
//                                 a Wine prefix with the simulator at C:\TRAK\, named in its win.ini
// PER_GROUP (1..8, default 8) vehicles share a group.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "core/simimport/SimTestFiles.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::string target;
    bool winePrefix = false;
    int count = 100;
    int next = 1;
    if (next < argc && std::string(argv[next]) == "--wine-prefix") {
        winePrefix = true;
        ++next;
    }
    if (next < argc) {
        target = argv[next++];
    }
    if (next < argc) {
        count = std::atoi(argv[next++]);
    }
    int perGroup = 8;
    if (next < argc) {
        perGroup = std::atoi(argv[next++]);
    }
    if (target.empty() || next < argc || count < 1 || count > 32000 || perGroup < 1 || perGroup > 8) {
        std::cerr << "usage: zobl_synthetic_simulator [--wine-prefix] FOLDER [COUNT (1..32000, default 100) "
                     "[PER_GROUP (1..8, default 8)]]\n";
        return 2;
    }
    try {
        std::string folder = target;
        if (winePrefix) {
            folder = target + "/drive_c/TRAK";
            fs::create_directories(target + "/drive_c/windows");
            fs::create_directories(target + "/dosdevices");
            if (!fs::exists(fs::symlink_status(target + "/dosdevices/c:"))) {
                fs::create_directory_symlink("../drive_c", target + "/dosdevices/c:");
            }
            zobl::test::WriteFile(target + "/drive_c/windows/win.ini",
                                  std::string_view("[Velmorax_ChKMSt]\r\nT381_PFAD=C:\\TRAK\\\r\n"));
        }
        fs::create_directories(folder);
        zobl::test::WriteSyntheticSimulator(folder, count, perGroup);
        std::cout << count << " vehicles in " << folder << '\n';
    } catch (const std::exception& error) {
        std::cerr << "zobl_synthetic_simulator: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
