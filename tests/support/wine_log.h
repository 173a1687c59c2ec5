// What Wine logs about the programs a test starts: the evidence of calls that
// Wine carries out only as far as logging them.
#pragma once

#include <string>

// Makes the programs started from now on log the given Wine debug channels
// (for example "fixme+reg,trace+file"); restores the test's own setting when
// it goes out of scope.
class WineDebugChannels {
public:
    explicit WineDebugChannels(const std::string& channels);
    ~WineDebugChannels();
    WineDebugChannels(const WineDebugChannels&) = delete;
    WineDebugChannels& operator=(const WineDebugChannels&) = delete;

private:
    std::string saved_;
};

// The log's length now, to read only what comes after it.
size_t WineLogMark();
// The log written since the mark.
std::string WineLogSince(size_t mark);
