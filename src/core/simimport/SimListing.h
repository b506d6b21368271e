#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "core/simimport/SimVehicleReader.h"

namespace zobl::simimport {

// One vehicle of a listing: its group's name and its first text (UTF-8; after the first vehicle
// of a listing the reader gives the vehicle number as first text) and the vehicle identifier to
// ask the reader for.
struct SimListEntry {
    std::string groupName;
    std::string firstText;
    int identifier = 0;

    // As the import lists it: "%s : %s" of the group name and the first text.
    std::string Text() const { return groupName + " : " + firstText; }
};

// A listing of the simulator's vehicles that runs in steps, so that a window can stay
// responsive and offer to cancel: each Step reads on for at most its time budget. The reader is
// used by nothing else until the listing has ended (or is dropped, which closes the reader's
// files).
class SimListing {
public:
    enum class Status {
        Running,   // more to read
        Finished,  // every vehicle of the chosen categories is listed (possibly none)
        NotFound,  // the simulator's data files were not found; nothing is listed
        FileError  // a file could not be read; what was read up to there is listed
    };

    SimListing(SimVehicleReader& reader, unsigned categoryFilter);
    ~SimListing();
    SimListing(const SimListing&) = delete;
    SimListing& operator=(const SimListing&) = delete;

    // Reads vehicles until the listing ends or budget has passed (at least one query runs).
    Status Step(std::chrono::steady_clock::duration budget);
    // Steps until the end.
    Status RunToEnd();

    Status CurrentStatus() const noexcept { return status_; }
    bool Running() const noexcept { return status_ == Status::Running; }
    const std::vector<SimListEntry>& Entries() const noexcept { return entries_; }
    std::vector<SimListEntry> TakeEntries() { return std::move(entries_); }
    // With FileError: the file that failed (may be empty).
    const std::string& FailedFile() const noexcept { return failedFile_; }

private:
    void Query(int command);

    SimVehicleReader& reader_;
    unsigned filter_;
    bool started_ = false;
    Status status_ = Status::Running;
    std::vector<SimListEntry> entries_;
    std::string failedFile_;
    SimVehicle vehicle_;
};

}  // namespace zobl::simimport
