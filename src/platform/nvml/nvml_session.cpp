#include "platform/nvml/nvml_session.h"

#include "platform/diagnostics.h"

#include <atomic>
#include <condition_variable>
#include <dlfcn.h>
#include <mutex>
#include <system_error>
#include <thread>

namespace tarsik::platform {
namespace {

// Our own declarations of the few NVML types used; layouts as the library defines them.
using NVMLReturn = int;
using NVMLDevice = NVMLSession::Device;
constexpr NVMLReturn nvmlSuccess = 0;
constexpr NVMLReturn nvmlUninitialized = 1;
constexpr unsigned nvmlTemperatureGpu = 0;
constexpr unsigned nvmlClockGraphics = 0;
constexpr unsigned nvmlClockMemory = 2;
constexpr unsigned nvmlFieldMemoryTemperature = 82; // NVML_FI_DEV_MEMORY_TEMP
constexpr int nvmlValueTypeUnsignedInt = 1;

struct NVMLUtilization {
    unsigned gpu;
    unsigned memory;
};

struct NVMLMemory {
    unsigned long long total; // bytes
    unsigned long long free;
    unsigned long long used;
};

struct NVMLFanSpeedInfo {
    unsigned version;
    unsigned fan;
    unsigned speed; // RPM
};
struct NVMLFieldValue {
    unsigned fieldId;
    unsigned scopeId;
    long long timestamp;
    long long latencyMicroseconds;
    int valueType;
    NVMLReturn result;
    union {
        double real;
        unsigned unsignedInt;
        unsigned long unsignedLong;
        unsigned long long unsignedLongLong;
        long long signedLongLong;
    } value;
};
static_assert(sizeof(NVMLFieldValue) == 40, "nvmlFieldValue_t is 40 bytes");

// The library's versioned-struct rule: size in the low bits, version in the top byte.
constexpr unsigned nvmlFanSpeedInfoV1 = sizeof(NVMLFanSpeedInfo) | (1u << 24);

template <typename Function> Function symbol(void* library, const char* name) {
    return reinterpret_cast<Function>(::dlsym(library, name));
}

// Set while an initialisation that ran past its deadline has not returned yet.
std::atomic<bool> overdueInit{false};

// An initialisation on a thread of its own, so that the caller can stop waiting for it.
struct InitCall {
    std::mutex mutex;
    std::condition_variable finished;
    std::optional<NVMLReturn> result;
    bool abandoned = false;
};

// The result of init(), or nothing when it has not returned by the deadline. The library is
// loaded with RTLD_NODELETE, so the functions stay valid however long the thread runs.
std::optional<NVMLReturn> initialise(NVMLReturn (*init)(), NVMLReturn (*shutdown)(),
                                     std::chrono::milliseconds deadline) {
    auto call = std::make_shared<InitCall>();
    std::thread thread;
    try {
        thread = std::thread([call, init, shutdown] {
            const NVMLReturn result = init();
            const std::lock_guard lock(call->mutex);
            if (!call->abandoned) {
                call->result = result;
                call->finished.notify_one();
                return;
            }
            overdueInit = false;
            if (result == nvmlSuccess) {
                shutdown(); // nobody took the session; NVML counts its initialisations
            }
        });
    } catch (const std::system_error&) {
        return nvmlUninitialized; // no thread to spare: no NVML this time
    }
    thread.detach();
    std::unique_lock lock(call->mutex);
    if (!call->finished.wait_for(lock, deadline, [&call] { return call->result.has_value(); })) {
        call->abandoned = true;
        overdueInit = true;
        return std::nullopt;
    }
    return call->result;
}

template <typename Call> std::optional<unsigned> valueOf(Call call) {
    unsigned value = 0;
    if (call(&value) != nvmlSuccess) {
        return std::nullopt;
    }
    return value;
}

} // namespace

// Versioned symbol names only: the unversioned aliases exist in the header, not in the library.
struct NVMLSession::Api {
    NVMLReturn (*init)();
    NVMLReturn (*shutdown)();
    NVMLReturn (*handleByPCIBusId)(const char*, NVMLDevice*);
    // Entry points a driver may lack; a missing one reads as "not supported".
    NVMLReturn (*temperature)(NVMLDevice, unsigned, unsigned*);
    NVMLReturn (*powerUsage)(NVMLDevice, unsigned*);
    NVMLReturn (*fanSpeedRpm)(NVMLDevice, NVMLFanSpeedInfo*);
    NVMLReturn (*clockInfo)(NVMLDevice, unsigned, unsigned*);
    NVMLReturn (*utilizationRates)(NVMLDevice, NVMLUtilization*);
    NVMLReturn (*memoryInfo)(NVMLDevice, NVMLMemory*);
    NVMLReturn (*fieldValues)(NVMLDevice, int, NVMLFieldValue*);
    NVMLReturn (*fanSpeedPercent)(NVMLDevice, unsigned*);
    NVMLReturn (*enforcedPowerLimit)(NVMLDevice, unsigned*);
};

std::unique_ptr<NVMLSession> NVMLSession::open(const std::string& library,
                                               std::chrono::milliseconds initDeadline) {
    if (overdueInit) {
        diagnose("NVML not tried: an earlier initialisation is still running past its deadline");
        return nullptr;
    }
    // NODELETE: a vendor library that started threads is never unloaded under them.
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr) {
        // glibc keeps dlerror's message per thread.
        diagnose(std::string("NVML missing: ") + ::dlerror()); // NOLINT(concurrency-mt-unsafe)
        return nullptr;
    }
    auto api = std::make_unique<Api>(Api{
        .init = symbol<decltype(Api::init)>(handle, "nvmlInit_v2"),
        .shutdown = symbol<decltype(Api::shutdown)>(handle, "nvmlShutdown"),
        .handleByPCIBusId =
            symbol<decltype(Api::handleByPCIBusId)>(handle, "nvmlDeviceGetHandleByPciBusId_v2"),
        .temperature = symbol<decltype(Api::temperature)>(handle, "nvmlDeviceGetTemperature"),
        .powerUsage = symbol<decltype(Api::powerUsage)>(handle, "nvmlDeviceGetPowerUsage"),
        .fanSpeedRpm = symbol<decltype(Api::fanSpeedRpm)>(handle, "nvmlDeviceGetFanSpeedRPM"),
        .clockInfo = symbol<decltype(Api::clockInfo)>(handle, "nvmlDeviceGetClockInfo"),
        .utilizationRates = symbol<decltype(Api::utilizationRates)>(handle, "nvmlDeviceGetUtilizationRates"),
        .memoryInfo = symbol<decltype(Api::memoryInfo)>(handle, "nvmlDeviceGetMemoryInfo"),
        .fieldValues = symbol<decltype(Api::fieldValues)>(handle, "nvmlDeviceGetFieldValues"),
        .fanSpeedPercent = symbol<decltype(Api::fanSpeedPercent)>(handle, "nvmlDeviceGetFanSpeed"),
        .enforcedPowerLimit =
            symbol<decltype(Api::enforcedPowerLimit)>(handle, "nvmlDeviceGetEnforcedPowerLimit"),
    });
    if (api->init == nullptr || api->shutdown == nullptr || api->handleByPCIBusId == nullptr) {
        diagnose(library + " lacks NVML's basic entry points");
        ::dlclose(handle);
        return nullptr;
    }
    const auto initialised = initialise(api->init, api->shutdown, initDeadline);
    if (!initialised) {
        diagnose("NVML did not initialise within its " + std::to_string(initDeadline.count()) +
                 " ms deadline");
        return nullptr; // the library stays loaded under the thread still inside it
    }
    if (*initialised != nvmlSuccess) {
        diagnose("NVML failed to initialise: error " + std::to_string(*initialised));
        ::dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<NVMLSession>(new NVMLSession(handle, std::move(api)));
}

NVMLSession::NVMLSession(void* library, std::unique_ptr<Api> api) : library_(library), api_(std::move(api)) {}

NVMLSession::~NVMLSession() {
    api_->shutdown();
    ::dlclose(library_);
}

std::optional<NVMLSession::Device> NVMLSession::device(const std::string& slot) const {
    // NVML parses the sysfs form itself ("%x:%x:%x.%x"), so the slot needs no rewriting and only
    // this GPU is attached.
    NVMLDevice device = nullptr;
    if (const NVMLReturn result = api_->handleByPCIBusId(slot.c_str(), &device); result != nvmlSuccess) {
        diagnose("NVML failed to find the GPU in " + slot + ": error " + std::to_string(result));
        return std::nullopt;
    }
    return device;
}

std::optional<std::uint64_t> NVMLSession::memoryTotalBytes(const std::string& slot) const {
    const auto found = this->device(slot);
    if (!found || api_->memoryInfo == nullptr) {
        return std::nullopt;
    }
    NVMLMemory memory{};
    if (api_->memoryInfo(*found, &memory) != nvmlSuccess || memory.total == 0) {
        return std::nullopt;
    }
    return memory.total;
}

std::optional<NVMLGPUReadings> NVMLSession::readings(const std::string& slot) const {
    const auto found = this->device(slot);
    if (!found) {
        return std::nullopt;
    }
    const auto device = *found;
    const Api& api = *api_;
    NVMLGPUReadings readings;
    if (api.temperature != nullptr) {
        readings.temperatureCelsius =
            valueOf([&](unsigned* value) { return api.temperature(device, nvmlTemperatureGpu, value); });
    }
    if (api.powerUsage != nullptr) {
        readings.powerMilliwatts = valueOf([&](unsigned* value) { return api.powerUsage(device, value); });
    }
    if (api.fanSpeedRpm != nullptr) {
        NVMLFanSpeedInfo fan{.version = nvmlFanSpeedInfoV1, .fan = 0, .speed = 0};
        if (api.fanSpeedRpm(device, &fan) == nvmlSuccess) {
            readings.fanRpm = fan.speed;
        }
    }
    if (api.clockInfo != nullptr) {
        readings.graphicsClockMHz =
            valueOf([&](unsigned* value) { return api.clockInfo(device, nvmlClockGraphics, value); });
        readings.memoryClockMHz =
            valueOf([&](unsigned* value) { return api.clockInfo(device, nvmlClockMemory, value); });
    }
    if (api.utilizationRates != nullptr) {
        NVMLUtilization utilisation{};
        if (api.utilizationRates(device, &utilisation) == nvmlSuccess) {
            readings.utilisationPercent = utilisation.gpu;
        }
    }
    if (api.fieldValues != nullptr) {
        NVMLFieldValue field{};
        field.fieldId = nvmlFieldMemoryTemperature;
        if (api.fieldValues(device, 1, &field) == nvmlSuccess && field.result == nvmlSuccess &&
            field.valueType == nvmlValueTypeUnsignedInt) {
            readings.memoryTemperatureCelsius = field.value.unsignedInt;
        }
    }
    if (api.memoryInfo != nullptr) {
        NVMLMemory memory{};
        if (api.memoryInfo(device, &memory) == nvmlSuccess && memory.total != 0) {
            readings.memoryUsedBytes = memory.used;
        }
    }
    if (api.fanSpeedPercent != nullptr) {
        readings.fanPercent = valueOf([&](unsigned* value) { return api.fanSpeedPercent(device, value); });
    }
    if (api.enforcedPowerLimit != nullptr) {
        readings.enforcedPowerLimitMilliwatts =
            valueOf([&](unsigned* value) { return api.enforcedPowerLimit(device, value); });
    }
    return readings;
}

} // namespace tarsik::platform
