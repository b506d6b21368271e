#include "core/simimport/SimListing.h"

namespace zobl::simimport {

SimListing::SimListing(SimVehicleReader& reader, unsigned categoryFilter)
    : reader_(reader), filter_(categoryFilter) {}

SimListing::~SimListing() {
    if (Running()) {
        reader_.QueryVehicle(kQueryClose, 0, nullptr);
    }
}

void SimListing::Query(int command) {
    const int result = reader_.QueryVehicle(command, filter_, &vehicle_);
    if (result > 0) {
        entries_.push_back({vehicle_.groupName, vehicle_.texts[0], result});
        return;
    }
    // The first vehicle missing (an empty first group) or too long is no file error: the listing
    // ends there, as it would after the last group.
    if (result == 0 || (result == kVehicleNotReadable && reader_.FailedFile().empty())) {
        status_ = Status::Finished;
    } else if (result == kSimulatorNotFound) {
        status_ = Status::NotFound;
    } else {
        status_ = Status::FileError;
        failedFile_ = reader_.FailedFile();
    }
    reader_.QueryVehicle(kQueryClose, 0, nullptr);
}

SimListing::Status SimListing::Step(std::chrono::steady_clock::duration budget) {
    const auto deadline = std::chrono::steady_clock::now() + budget;
    // The clock is read every few queries only: a query of the next vehicle of a group reads
    // nothing and takes far less than a clock read.
    constexpr int kQueriesPerClockRead = 16;
    while (Running()) {
        for (int i = 0; i < kQueriesPerClockRead && Running(); ++i) {
            Query(started_ ? kQueryNext : kQueryFirst);
            started_ = true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            break;
        }
    }
    return status_;
}

SimListing::Status SimListing::RunToEnd() {
    while (Step(std::chrono::hours(1)) == Status::Running) {
    }
    return status_;
}

}  // namespace zobl::simimport
