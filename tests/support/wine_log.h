// What Wine logs about the programs a test starts: the evidence of calls that
// Wine carries out only as far as logging them.
#pragma once

#include <set>
#include <string>
#include <vector>

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

// A RegReplaceKeyA call, which Wine carries out only as far as logging it
// (channel fixme+reg).
struct LoggedReplacement {
    std::string Root, SubKey, NewFile, OldFile;
};
std::vector<LoggedReplacement> ReplacementsIn(const std::string& log);

// Files whose deletion at the next start was asked for (channel trace+file).
std::set<std::string> DelayedDeletionsIn(const std::string& log);
