#pragma once

#include "platform/system_paths.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarsik::platform {

// Lookups in the pci.ids database. The file is mapped, not parsed: a lookup binary-searches for its
// vendor's block and its device, so a few GPUs cost a few searches instead of a parse of the whole
// database; any thread may look up.
class PCIIDs {
  public:
    explicit PCIIDs(const SystemPaths& paths);
    // For parsers and tests: the database text itself.
    explicit PCIIDs(std::string text);
    ~PCIIDs();

    PCIIDs(const PCIIDs&) = delete;
    PCIIDs& operator=(const PCIIDs&) = delete;

    std::optional<std::string> vendorName(std::uint16_t vendor) const;
    std::optional<std::string> deviceName(std::uint16_t vendor, std::uint16_t device) const;
    std::optional<std::string> subsystemName(std::uint16_t vendor, std::uint16_t device,
                                             std::uint16_t subVendor, std::uint16_t subDevice) const;

  private:
    // The vendor's block: its own line through the line before the next vendor's.
    std::optional<std::string_view> vendorBlock(std::uint16_t vendor) const;
    std::optional<std::string> subsystemNameUnremembered(std::uint16_t vendor, std::uint16_t device,
                                                         std::uint16_t subVendor,
                                                         std::uint16_t subDevice) const;
    // Each name of a database file is looked up once per process; text given directly is not kept.
    template <typename Lookup>
    std::optional<std::string> remembered(const std::string& question, Lookup lookup) const;

    std::string owned_;
    std::string fileIdentity_;
    const char* data_ = nullptr;
    std::size_t size_ = 0;
    bool mapped_ = false;
};

} // namespace tarsik::platform
