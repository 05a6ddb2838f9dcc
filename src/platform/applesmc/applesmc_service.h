#pragma once

#include "platform/smc_service.h"
#include "platform/system_paths.h"

#include <functional>

namespace tarsik::platform {

// "AppleSMC" over the applesmc driver's key files. The driver offers keys by index only, through
// one selected index for the whole machine that only root may set; so a connection needs the
// right to write that index, and it finds a key by name through an index of all keys that it
// builds once, the first time it needs one. The other service names have no counterpart here.
class AppleSMCService final : public SMCService {
  public:
    // `afterSelect` runs between selecting a key and reading what the driver shows for it: where
    // another process could move the machine-wide selection. Tests move it there.
    explicit AppleSMCService(SystemPaths paths, std::function<void()> afterSelect = {})
        : paths_(std::move(paths)), afterSelect_(std::move(afterSelect)) {}

    std::unique_ptr<SMCConnection> open(std::string_view serviceName) const override;

  private:
    SystemPaths paths_;
    std::function<void()> afterSelect_;
};

} // namespace tarsik::platform
