// A full SMC GPU scan over an SMC of 1000 keys, 40 of them GPU keys: the target is under 2 ms.
// The counters give the block calls of one scan: one count call, one call per index, one key-info
// call per candidate and a second call for each candidate the SMC has.
#include "collector/fake_smc.h"
#include "collector/gpu_info_collector.h"

#include <benchmark/benchmark.h>
#include <bit>
#include <string>

namespace {

using tarsik::testing::FakeSMC;

std::vector<FakeSMC::Key> thousandKeys() {
    std::vector<FakeSMC::Key> keys;
    // 40 GPU keys: 12 generated temperature keys, 8 listed-only temperature keys, 20 power keys.
    for (const char* suffix : {"D", "P", "T"}) {
        for (const char gpu : {'0', '1', '2', '3'}) {
            keys.push_back({std::string("TG") + gpu + suffix, "sp78", {0x37, 0x00}});
        }
    }
    for (const char gpu : {'0', '1', '2', '3', '4', '5', '6', '7'}) {
        keys.push_back({std::string("TG") + gpu + "x", "sp78", {0x30, 0x00}});
    }
    const auto watts = std::bit_cast<std::uint32_t>(12.5f);
    const std::vector<std::uint8_t> floatBytes{
        static_cast<std::uint8_t>(watts), static_cast<std::uint8_t>(watts >> 8),
        static_cast<std::uint8_t>(watts >> 16), static_cast<std::uint8_t>(watts >> 24)};
    for (const char gpu : {'0', '1', '2', '3', '4'}) {
        for (const char* suffix : {"R", "C", "F", "V"}) {
            keys.push_back({std::string("PG") + gpu + suffix, "flt ", floatBytes});
        }
    }
    // 960 other keys: CPU, fan, battery and the like.
    for (int i = 0; keys.size() < 1000; ++i) {
        const std::string number = std::to_string(1000 + i);
        keys.push_back({"TFBVI"[i % 5] + number.substr(1), "sp78", {0x20, 0x00}});
    }
    return keys;
}

void BM_SMCScanThousandKeys(benchmark::State& state) {
    const auto smc = std::make_shared<FakeSMC>(thousandKeys());
    const tarsik::GPUInfoCollector collector(tarsik::platform::Services{.smc = smc});
    std::size_t readings = 0;
    for (auto _ : state) {
        readings = collector.readSMCGPUSensors().size();
        smc->keyInfoRequests.clear(); // the fake's own log would otherwise grow without end
        benchmark::DoNotOptimize(readings);
    }
    const auto perScan = [&](int calls) {
        return static_cast<double>(calls) / static_cast<double>(state.iterations());
    };
    state.counters["readings"] = static_cast<double>(readings);
    state.counters["calls"] = perScan(smc->totalCalls());
    state.counters["count"] = perScan(smc->callsByCommand[tarsik::platform::kSMCKeyCount]);
    state.counters["atIndex"] = perScan(smc->callsByCommand[tarsik::platform::kSMCKeyAtIndex]);
    state.counters["keyInfo"] = perScan(smc->callsByCommand[tarsik::platform::kSMCKeyInfo]);
    state.counters["read"] = perScan(smc->callsByCommand[tarsik::platform::kSMCReadBytes]);
}
BENCHMARK(BM_SMCScanThousandKeys)->Unit(benchmark::kMicrosecond);

} // namespace
