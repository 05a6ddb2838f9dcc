// Pictures of the real window over fixture machines: the real collector and store read a
// machine's sysfs tree (tests/fixtures/sysfs/<machine>) in place of the system's, and the
// display profiler the collector starts is this tool again, profiling that tree.
//   tarsik-screenshots FOLDER            every tab of each machine, the Help and About windows
//   tarsik-screenshots --profile ROOT    the display profile of the tree at ROOT (as the profiler)
#include "collector/gpu_info_collector.h"
#include "platform/applesmc/applesmc_service.h"
#include "platform/pci/sysfs_gpu_device_list.h"
#include "platform/process_runner.h"
#include "platform/registry/sysfs_registry_source.h"
#include "profiler/display_profile.h"
#include "store/gpu_store.h"
#include "store/pooled_collector.h"
#include "ui/kit/app_theme.h"
#include "ui/kit/font_preload.h"
#include "ui/shell/app_commands.h"
#include "ui/shell/main_window.h"
#include "ui/shell/main_window_view.h"
#include "ui/shell/tab_bar.h"
#include "ui/tabs/sensors_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

using namespace tarsik;

namespace {

// The host's NVML would answer for the host's GPUs, so the pictures never load it.
constexpr auto noNVML = "libnvidia-ml.so.absent-in-screenshots";

struct Shot {
    TabID tab;
    const char* name;
};
constexpr Shot tabs[] = {{TabID::GraphicsCard, "graphics-card"},
                         {TabID::Sensors, "sensors"},
                         {TabID::Advanced, "advanced"},
                         {TabID::Validation, "validation"},
                         {TabID::Help, "help-tab"}};

// Lets queued work (store tasks, layouts, paints) settle before a picture is taken.
void settle() {
    for (int round = 0; round < 5; ++round) {
        QApplication::processEvents();
        QTest::qWait(30);
    }
}

bool save(QWidget& widget, const QString& path) {
    settle();
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The collector's display profiler for `root`: a script that runs this tool in profile mode.
std::filesystem::path writeProfiler(const QTemporaryDir& folder, const std::filesystem::path& root) {
    const std::filesystem::path script = folder.filePath("tarsik-profiler").toStdString();
    std::ofstream(script) << "#!/bin/sh\nexec '" << QCoreApplication::applicationFilePath().toStdString()
                          << "' --profile '" << root.string() << "'\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    return script;
}

struct Machine {
    const char* name;
    // A GPU whose sensors are pictured too, when it is not the one shown first, by its slot, and
    // the word that names its picture.
    const char* sensorsSlot = nullptr;
    const char* sensorsPicture = nullptr;
    // Live on that GPU's Sensors tab while its readings climb, as under a game's first seconds.
    bool livePicture = false;
    bool auxiliaryWindows = false;
};

void writeValue(const std::filesystem::path& file, long value) {
    std::ofstream(file) << value << "\n";
}

// A minute's climb compressed into `steps` seconds: an amdgpu card leaving idle for a 3D load.
void climb(const std::filesystem::path& device, int step, int steps) {
    const double share = static_cast<double>(step) / steps;
    const auto hwmon = device / "hwmon/hwmon3";
    const double wobble = (step % 3 == 0) ? 0.0 : (step % 3 == 1 ? 1.0 : -1.0);
    writeValue(hwmon / "temp1_input", std::lround((45 + 23 * share + wobble) * 1000));
    writeValue(hwmon / "temp2_input", std::lround((50 + 31 * share + wobble) * 1000));
    writeValue(hwmon / "power1_average", std::lround((30 + 215 * share + 6 * wobble) * 1e6));
    writeValue(hwmon / "freq1_input", std::lround((500 + 1750 * std::min(1.0, share * 3)) * 1e6));
    writeValue(hwmon / "fan1_input", step < steps / 3 ? 0 : std::lround(900 + 700 * share));
    writeValue(device / "gpu_busy_percent", std::lround(std::min(99.0, 3 + 130 * share - 4 * wobble)));
}

// Every tab of the main window over a machine, once its full refresh is in; the Sensors tab of
// one more GPU; the Help and About windows.
bool shootMachine(const Machine& fixture, const QString& folder) {
    const QString machine = QString::fromUtf8(fixture.name);
    // A copy, since the live picture changes the readings.
    QTemporaryDir scratch;
    const std::filesystem::path root = scratch.filePath(QStringLiteral("machine")).toStdString();
    std::filesystem::copy(std::filesystem::path(TARSIK_FIXTURES_DIR) / "sysfs" / machine.toStdString(), root,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::copy_symlinks);
    const platform::SystemPaths paths{.root = root};
    auto collector = std::make_shared<GPUInfoCollector>(platform::Services{
        .gpuDevices = std::make_shared<platform::SysfsGPUDeviceList>(paths),
        .processRunner = std::make_shared<platform::PosixProcessRunner>(),
        .profiler = writeProfiler(scratch, root),
        .registry = std::make_shared<platform::SysfsRegistrySource>(paths, noNVML),
        .smc = std::make_shared<platform::AppleSMCService>(paths),
    });
    GPUStore store(std::make_shared<PooledCollector>(collector));
    QSettings settings(scratch.filePath("settings.ini"), QSettings::IniFormat);
    AppCommands commands(store, settings);
    MainWindow* window = commands.openMainWindow();
    if (!QTest::qWaitFor([&store] { return store.refreshCount() >= 2 && !store.isRefreshing(); }, 20000)) {
        std::fprintf(stderr, "%s: the refresh did not end\n", qPrintable(machine));
        return false;
    }
    bool ok = true;
    for (const auto& [tab, name] : tabs) {
        emit window->view()->tabBar()->selected(tab);
        window->view()->tabBar()->setSelectedTab(tab);
        if (tab == TabID::Sensors) {
            QTest::qWait(500); // full sensor discovery, asked for by the tab's first showing
        }
        ok =
            save(*window, QStringLiteral("%1/%2-%3.png").arg(folder, machine, QString::fromUtf8(name))) && ok;
    }
    for (const auto& device : store.devices()) {
        if (fixture.sensorsSlot != nullptr && pciSlotOf(device) != nullptr &&
            *pciSlotOf(device) == fixture.sensorsSlot) {
            store.selectGPU(device.id);
            emit window->view()->tabBar()->selected(TabID::Sensors);
            window->view()->tabBar()->setSelectedTab(TabID::Sensors);
            QTest::qWait(500);
            ok = save(*window, QStringLiteral("%1/%2-sensors-%3.png")
                                   .arg(folder, machine, QString::fromUtf8(fixture.sensorsPicture))) &&
                 ok;
            // Its list from the last canonical reading on: the driver's further readings.
            auto* view = window->findChild<SensorsView*>();
            auto* list = view->findChild<QScrollArea*>();
            if (auto* heading = view->findChild<QWidget*>(QStringLiteral("moreReadingsHeading"))) {
                list->verticalScrollBar()->setValue(heading->y() - 48);
                QTest::qWait(100);
            }
            ok = save(*window, QStringLiteral("%1/%2-sensors-%3-more.png")
                                   .arg(folder, machine, QString::fromUtf8(fixture.sensorsPicture))) &&
                 ok;
            if (fixture.livePicture) {
                // Tall enough for the six canonical rows, from the first of them on.
                window->resize(window->width(), 900);
                QTest::qWait(100);
                const auto rows = view->findChildren<QWidget*>(QStringLiteral("sensorRow"));
                list->verticalScrollBar()->setValue(rows.size() > 4 ? rows[4]->y() - 1 : 0);
                view->findChild<QAbstractButton*>(QStringLiteral("liveToggle"))->click();
                const auto gpuFolder = root / "sys/bus/pci/devices" / fixture.sensorsSlot;
                constexpr int steps = 24;
                for (int step = 0; step <= steps; ++step) {
                    climb(gpuFolder, step, steps);
                    QTest::qWait(1000);
                }
                ok = save(*window, QStringLiteral("%1/%2-sensors-live.png").arg(folder, machine)) && ok;
                view->findChild<QAbstractButton*>(QStringLiteral("liveToggle"))->click();
            }
        }
    }
    if (fixture.auxiliaryWindows) {
        commands.helpPresenter().show();
        ok = save(*commands.helpPresenter().window(), folder + QStringLiteral("/help-window.png")) && ok;
        commands.aboutPresenter().show();
        ok = save(*commands.aboutPresenter().window(), folder + QStringLiteral("/about-window.png")) && ok;
    }
    window->close();
    settle();
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 3 && std::strcmp(argv[1], "--profile") == 0) {
        const auto text = profiler::displayProfile(platform::SystemPaths{.root = argv[2]}, noNVML) + "\n";
        return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
    }
    FontPreload fonts;
    QApplication app(argc, argv);
    fonts.wait();
    applyAppTheme();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(folder);

    bool ok = true;
    for (const Machine& machine : {Machine{.name = "workstation",
                                  .sensorsSlot = "0000:03:00.0",
                                  .sensorsPicture = "radeon",
                                  .livePicture = true,
                                  .auxiliaryWindows = true},
                                   Machine{.name = "gpu-server"}}) {
        ok = shootMachine(machine, folder) && ok;
    }
    return ok ? 0 : 1;
}
