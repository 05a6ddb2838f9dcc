#include "texts/prometheus_report.h"
#include "texts/sample_reports.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>

namespace tarsik {
namespace {

// The samples in base units, one family after another; the HELP and TYPE pair before each
// family is promtool's to check.
TEST(PrometheusReport, BaseUnitsOneFamilyAtATime) {
    const auto text = prometheusReport(testing::workstationReports());
    const std::regex comment("# (HELP|TYPE) [^\n]*\n");
    EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), comment), std::sregex_iterator()),
              2 * 13);
    // The sleeping GPU has its sleep state and nothing measured; the late one has neither.
    EXPECT_EQ(
        std::regex_replace(text, comment, ""),
        R"(tarsik_gpu_info{slot="0000:03:00.0",gpu="AMD Radeon RX 6800 XT",vendor="AMD",chipset="AMD Radeon RX 6800 XT",type="Discrete",bus="PCIe",device_id="0x73bf",revision_id="0x00c1"} 1
tarsik_gpu_info{slot="0000:01:00.0",gpu="NVIDIA RTX A4000",vendor="NVIDIA",chipset="NVIDIA RTX A4000",type="Discrete",bus="PCIe",device_id="0x24b0",revision_id="0x00a1"} 1
tarsik_gpu_info{slot="0000:0a:00.0",gpu="AMD Radeon RX 6650M",vendor="AMD",chipset="AMD Radeon RX 6650M",type="Discrete",bus="PCIe",device_id="0x73ef",revision_id="0x00c2"} 1
tarsik_gpu_memory_total_bytes{slot="0000:03:00.0",gpu="AMD Radeon RX 6800 XT"} 17163091968
tarsik_gpu_temperature_celsius{slot="0000:03:00.0",gpu="AMD Radeon RX 6800 XT"} 45
tarsik_gpu_power_watts{slot="0000:03:00.0",gpu="AMD Radeon RX 6800 XT"} 72.512
tarsik_gpu_fan_rpm{slot="0000:03:00.0",gpu="AMD Radeon RX 6800 XT"} 1200
tarsik_gpu_core_clock_hertz{slot="0000:03:00.0",gpu="AMD Radeon RX 6800 XT"} 2250000000
tarsik_gpu_memory_clock_hertz{slot="0000:03:00.0",gpu="AMD Radeon RX 6800 XT"} 1000500000
tarsik_gpu_load_ratio{slot="0000:03:00.0",gpu="AMD Radeon RX 6800 XT"} 0.45
tarsik_gpu_junction_temperature_celsius{slot="0000:03:00.0",gpu="AMD Radeon RX 6800 XT"} 52
tarsik_gpu_memory_used_bytes{slot="0000:03:00.0",gpu="AMD Radeon RX 6800 XT"} 6818321203
tarsik_gpu_fan_duty_ratio{slot="0000:03:00.0",gpu="AMD Radeon RX 6800 XT"} 0.4392156862745098
tarsik_gpu_voltage_volts{slot="0000:03:00.0",gpu="AMD Radeon RX 6800 XT",rail="vddgfx"} 0.806
tarsik_gpu_runtime_suspended{slot="0000:03:00.0",gpu="AMD Radeon RX 6800 XT"} 0
tarsik_gpu_runtime_suspended{slot="0000:0a:00.0",gpu="AMD Radeon RX 6650M"} 1
)");
    EXPECT_EQ(prometheusReport({GPUReport{.device = noGPUPlaceholder()}}), "");
}

TEST(PrometheusReport, LabelValuesAreEscapedAndUtf8) {
    EXPECT_EQ(prometheusLabelValue(R"(a\b"c)"), R"(a\\b\"c)");
    EXPECT_EQ(prometheusLabelValue("two\nlines\t°C"), "two\\nlines\t°C");
    EXPECT_EQ(prometheusLabelValue("bad \xff byte"), "bad \uFFFD byte");
}

TEST(PrometheusReport, SizesAndRepeatedSeries) {
    auto gpus = testing::workstationReports();
    gpus.resize(2);
    gpus[1] = gpus[0]; // the same slot and name twice
    const auto text = prometheusReport(gpus);
    EXPECT_EQ(text.find("tarsik_gpu_info{"), text.rfind("tarsik_gpu_info{")) << text;
    // The driver's count, not the shown "15.98 GB" read back (17158516654, 0.03 % off).
    EXPECT_NE(text.find("} 17163091968\n"), std::string::npos) << text;
    gpus[0].device.vramBytes = 0;
    EXPECT_EQ(prometheusReport(gpus).find("tarsik_gpu_memory_total_bytes{"), std::string::npos)
        << "an unknown size is left out, whatever the text says";
}

// The exposition format's own checker, on labels that need every escape.
TEST(PrometheusReport, PassesPromtool) {
    if (std::system("command -v promtool >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "promtool is not installed (Debian package prometheus)";
    }
    auto gpus = testing::workstationReports();
    gpus[1].device.name = "Odd \"GPU\" \\ with\na line feed and \xff";
    gpus[1].device.raw.clear();
    const auto file = std::filesystem::temp_directory_path() / "tarsik-promtool-test.prom";
    std::ofstream(file) << prometheusReport(gpus);
    const auto command = "promtool check metrics < " + file.string() + " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = ::pclose(pipe);
    std::filesystem::remove(file);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output, "");
}

} // namespace
} // namespace tarsik
