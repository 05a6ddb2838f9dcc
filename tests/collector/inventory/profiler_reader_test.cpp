#include "collector/fake_process_runner.h"
#include "collector/gpu_info_collector.h"
#include "collector/inventory/profiler_output.h"
#include "support/captured_diagnostics.h"
#include "support/fixture_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<GPUDevice> parsed(std::string_view output) {
    return parseProfilerOutput(output).devices;
}

std::vector<GPUDevice> parsedEntries(const std::string& entries) {
    return parsed(R"({"SPDisplaysDataType": [)" + entries + "]}");
}

// "name | vendor | chipset | type | bus | device id | revision | vram | metal" of a record.
std::string summary(const GPUDevice& device) {
    return device.name + " | " + device.vendor + " | " + device.chipsetModel + " | " + device.type + " | " +
           device.bus + " | " + device.pciDeviceID + " | " + device.pciRevisionID + " | " + device.vram +
           " | " + device.metalFamily;
}

TEST(ProfilerReader, RunsTheProfilerWithItsFourArguments) {
    const auto runner = std::make_shared<testing::FakeProcessRunner>(std::nullopt);
    GPUInfoCollector(platform::Services{.processRunner = runner, .profiler = "/opt/tarsik-profiler"})
        .parseSystemProfiler();
    EXPECT_EQ(runner->lastProgram, "/opt/tarsik-profiler");
    EXPECT_THAT(runner->lastArguments, ElementsAre("SPDisplaysDataType", "-json", "-detailLevel", "full"));
}

TEST(ProfilerReader, BuildsRecordsFromTheFirstKeyThenTheNext) {
    const auto devices = parsedEntries(R"(
        {"sppci_model": "AMD Radeon RX 6800 XT", "_name": "ignored", "spdisplays_vendor": "sppci_vendor_amd",
         "sppci_bus": "spdisplays_pcie_device", "spdisplays_device-id": "0x73bf", "sppci_device-id": "ignored",
         "spdisplays_revision-id": "0x00c1", "spdisplays_vram": "16 GB", "spdisplays_gputype": "Discrete"},
        {"_name": "Radeon Pro", "spdisplays_vendor": "sppci_vendor_unknown", "sppci_bus": "spdisplays_builtin",
         "spdisplays_device-id": "", "sppci_device-id": 29631, "spdisplays_vram_shared": "1.5 GB"},
        {"sppci_model": "", "spdisplays_device-id": "spdisplays_other", "sppci_device-id": "0x1234",
         "sppci_bus": "Thunderbolt", "spdisplays_vendor": "sppci_vendor_nvidia"})");
    ASSERT_EQ(devices.size(), 3u);
    // The Metal family is the merge's to fill in.
    EXPECT_EQ(summary(devices[0]), "AMD Radeon RX 6800 XT | AMD | AMD Radeon RX 6800 XT | Discrete | PCIe | "
                                   "0x73bf | 0x00c1 | 16 GB | Unknown");
    EXPECT_TRUE(devices[0].displays.empty());
    // No model: the name, for the chipset too. An unlisted vendor token gives way to the vendor
    // guessed from the name (raw keeps the token); an empty first key to the next, a number to its text.
    EXPECT_EQ(summary(devices[1]),
              "Radeon Pro | AMD | Radeon Pro | GPU | Built-In | 29631 | Unknown | 1.5 GB | Unknown");
    EXPECT_EQ(devices[1].raw.at("spdisplays_vendor"), "sppci_vendor_unknown");
    // A rejected token ends in the fallback, not in the next key.
    EXPECT_EQ(
        summary(devices[2]),
        "Unknown GPU | NVIDIA | Unknown GPU | GPU | Thunderbolt | Unknown | Unknown | Unknown | Unknown");
}

TEST(ProfilerReader, FlattensEveryValueIntoRaw) {
    const auto devices = parsedEntries(R"(
        {"sppci_model": "GPU", "count": -3, "big": 18446744073709551615, "ratio": 0.1, "huge": 1e300,
         "whole": 2.0, "flag": true, "off": false, "empty": "", "none": null, "list": [1, "a"],
         "nested": {"b": [1], "a": 2}, "spdisplays_ndrvs": [{}, {}, {}], "noDisplays": [],
         "Profiler Source": "mine", "_name": "spdisplays_yes"})");
    ASSERT_EQ(devices.size(), 1u);
    // A real as the shortest text that reads back as the same value; the source is always ours.
    EXPECT_EQ(devices[0].raw, (std::map<std::string, std::string>{
                                  {"sppci_model", "GPU"},
                                  {"count", "-3"},
                                  {"big", "18446744073709551615"},
                                  {"ratio", "0.1"},
                                  {"huge", "1e+300"},
                                  {"whole", "2"},
                                  {"flag", "1"},
                                  {"off", "0"},
                                  {"empty", ""},
                                  {"none", "null"},
                                  {"list", R"([1,"a"])"},
                                  {"nested", R"({"a":2,"b":[1]})"},
                                  {"spdisplays_ndrvs", "3 item(s)"},
                                  {"noDisplays", "0 item(s)"},
                                  {"_name", "spdisplays_yes"},
                                  {"Profiler Source", "system_profiler SPDisplaysDataType"}}));
    EXPECT_EQ(devices[0].displays.size(), 3u);
}

TEST(ProfilerReader, ReadsDisplaysAndTheirFlags) {
    const auto devices = parsedEntries(R"(
        {"sppci_model": "GPU", "spdisplays_ndrvs": [
            {"_name": "DELL U2720Q", "_spdisplays_resolution": "3840 x 2160", "spdisplays_resolution": "x",
             "spdisplays_main": "spdisplays_yes", "spdisplays_online": "spdisplays_yes"},
            {"spdisplays_resolution": "1920 x 1080", "spdisplays_main": "spdisplays_no",
             "spdisplays_online": "spdisplays_no"},
            {"_name": "Yes", "spdisplays_main": "Yes", "spdisplays_online": false},
            {"_name": "spdisplays_unknown", "spdisplays_main": "yes", "spdisplays_online": "No"},
            {"spdisplays_main": true, "spdisplays_online": 0}]})");
    ASSERT_EQ(devices.size(), 1u);
    std::vector<std::string> displays;
    for (const auto& display : devices[0].displays) {
        displays.push_back(display.name + " " + display.resolution + (display.main ? " main" : "") +
                           (display.online ? " online" : ""));
    }
    // The profiler's own tokens for yes and no count as the words, an unlisted token is no name,
    // only the exact text counts, and a number is no flag: unknown, so online.
    EXPECT_THAT(displays, ElementsAre("DELL U2720Q 3840 x 2160 main online", "Display 1920 x 1080",
                                      "Yes Unknown main", "Display Unknown", "Display Unknown main online"));
}

TEST(ProfilerReader, UnusableOutputGivesNoRecordsAndAReason) {
    const std::string deep = std::string(100'000, '[') + std::string(100'000, ']');
    const std::string oversized =
        R"({"SPDisplaysDataType": [{"_name": ")" + std::string(9 << 20, 'x') + R"("}]})";
    const std::pair<std::string, const char*> outputs[] = {
        {"", "not JSON"},
        {R"({"SPDisplaysDataType": [{"_name": "A"}])", "not JSON"},
        {R"({"SPDisplaysDataType": [{"_name": "\xc3\x28"}]})", "not JSON"},
        {"[]", "no SPDisplaysDataType list of objects"},
        {"{}", "no SPDisplaysDataType list of objects"},
        {R"({"SPDisplaysDataType": {}})", "no SPDisplaysDataType list of objects"},
        {R"({"SPDisplaysDataType": [{"_name": "A"}, 1]})", "no SPDisplaysDataType list of objects"},
        {R"({"SPDisplaysDataType": [{"_name": ")" + deep + R"("}, )" + deep + "]}",
         "nested deeper than 64 levels"},
        {oversized, "larger than 8388608 bytes"},
    };
    for (const auto& [output, rejection] : outputs) {
        const auto records = parseProfilerOutput(output);
        EXPECT_THAT(records.devices, IsEmpty()) << output.substr(0, 60);
        EXPECT_EQ(records.rejection, rejection) << output.substr(0, 60);
    }
    // Brackets inside strings do not count as nesting.
    EXPECT_EQ(parsedEntries(R"({"_name": ")" + deep + R"("})").size(), 1u);
    EXPECT_EQ(parseProfilerOutput(R"({"SPDisplaysDataType": []})").rejection, "") << "no GPUs is no fault";
}

// The real runner against misbehaving profilers: a failed run and a rejected output each end in a
// line that says what went wrong. The runner's and the parser's tests go through every kind.
TEST(ProfilerReader, AMisbehavingProfilerChildGivesNoRecords) {
    const testing::FixtureTree folder("");
    const std::tuple<const char*, const char*, const char*> profilers[] = {
        {"hangs", "sleep 30", "ran past its 300 ms deadline and was stopped"},
        {"silent", "exit 0", "printed output that was rejected: not JSON"},
        {"array", "echo '[1, 2]'", "printed output that was rejected: no SPDisplaysDataType list of objects"},
        {"floods", R"(printf '{"SPDisplaysDataType": [{"_name": "'; head -c 52428800 /dev/zero | tr '\0' x)",
         "printed more than 8388608 bytes and was stopped"},
    };
    const auto runner = std::make_shared<platform::PosixProcessRunner>(
        std::chrono::milliseconds(300), platform::PosixProcessRunner::defaultOutputLimit);
    const auto readerOf = [&](const std::string& name, const std::string& body) {
        folder.write(name, "#!/bin/sh\n" + body + "\n");
        std::filesystem::permissions(folder.path(name), std::filesystem::perms::owner_all);
        return GPUInfoCollector(platform::Services{.processRunner = runner, .profiler = folder.path(name)});
    };
    testing::CapturedDiagnostics diagnostics;
    ASSERT_EQ(
        readerOf("works", R"(echo '{"SPDisplaysDataType": [{"_name": "A"}]}')").parseSystemProfiler().size(),
        1u);
    EXPECT_THAT(diagnostics.take(), IsEmpty());
    for (const auto& [name, body, diagnosis] : profilers) {
        EXPECT_THAT(readerOf(name, body).parseSystemProfiler(), IsEmpty()) << name;
        EXPECT_THAT(diagnostics.take(), ElementsAre(folder.path(name).string() + ' ' + diagnosis));
    }
}

} // namespace
} // namespace tarsik
