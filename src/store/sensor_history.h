#pragma once

#include "model/sensor_reading.h"

#include <chrono>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace tarsik {

// One value of a reading as it was read, with the text its row showed then.
struct HistoryPoint {
    std::chrono::steady_clock::time_point at;
    double value = 0;
    std::string shown;
};

// The last five minutes of each numeric reading of each GPU, kept whichever GPU is selected and
// across refreshes. A GPU is known by its key (its bus address where it has one), a reading by its
// kind and name. The sleep state is a state, not a reading, and has none. A GPU asleep is not
// read, so its readings pause; only what is read beside it (a SoC's thermal zone) goes on.
class SensorHistory {
  public:
    static constexpr std::chrono::minutes span{5};

    // Adds the measured readings of one fresh read and forgets that GPU's points older than `span`.
    void record(const std::string& gpu, const std::vector<SensorReading>& readings,
                std::chrono::steady_clock::time_point at);
    // The points of `reading` on `gpu`, oldest first; null when there are none.
    const std::deque<HistoryPoint>* of(const std::string& gpu, const SensorReading& reading) const;

  private:
    std::map<std::string, std::map<std::string, std::deque<HistoryPoint>>> series_;
};

} // namespace tarsik
