// The data set in use while "Open data file" loads another beside it.
#pragma once

#include <memory>

// What the data set in use consists of: every shared record (the current reflection, the
// parameters read with it, the orientation matrix and cell, the preprocessing table, the counts,
// the file state), its input file and parameter file (moved to units of their own while a new
// choice takes units 1 and 3), its log and the main window's file line and "Utilities" entries.
// Made before the new input file is chosen; then exactly one of the two ends:
// - switch_to_new(): the new data set has loaded and replaces it (the files kept are closed);
// - put_back(): the choice was cancelled or the new file proved damaged; everything is as it was,
//   and the log in use is appended to again.
class DataSetInUse {
public:
    DataSetInUse();
    ~DataSetInUse();
    DataSetInUse(const DataSetInUse&) = delete;
    DataSetInUse& operator=(const DataSetInUse&) = delete;

    void switch_to_new();
    void put_back();

private:
    struct Kept;
    std::unique_ptr<Kept> kept_;
};
