#pragma once

#include "platform/smc_service.h"
#include "platform/system_paths.h"

namespace tarsik::platform {

// "AppleSMC" over the applesmc driver's key files. The driver offers keys by index only, through
// one selected index for the whole machine that only root may set; so a connection needs the
// right to write that index, and it finds a key by name through an index of all keys that it
// builds once, the first time it needs one. The other service names have no counterpart here.
class ApplesmcService final : public SMCService {
  public:
    explicit ApplesmcService(SystemPaths paths) : paths_(std::move(paths)) {}

    std::unique_ptr<SMCConnection> open(std::string_view serviceName) const override;

  private:
    SystemPaths paths_;
};

} // namespace tarsik::platform
