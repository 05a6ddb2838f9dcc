#include "store/advanced_rows.h"

namespace tarsik {

std::vector<AdvancedRow> advancedRowsFor(const GPUDevice* device) {
    std::vector<AdvancedRow> rows;
    if (device == nullptr) {
        return rows;
    }
    rows.reserve(device->raw.size());
    // std::map orders std::string keys byte by byte as unsigned values: code-point order for UTF-8.
    for (const auto& [key, value] : device->raw) {
        rows.push_back(AdvancedRow{.key = key, .value = value});
    }
    return rows;
}

} // namespace tarsik
