#include "store/fake_async_collector.h"
#include "store/gpu_store.h"
#include "store/store_probe.h"

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace tarsik {
namespace {

using testing::FakeAsyncCollector;

// Lets the awaiting tasks resume: futures report completion through the event loop.
void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

GPUDevice device(std::string name, std::string chipset = {}, std::string deviceID = "Unknown") {
    return GPUDevice{.name = name,
                     .chipsetModel = chipset.empty() ? name : chipset,
                     .pciDeviceID = deviceID,
                     .pciRevisionID = "Unknown",
                     .vram = "8 GB",
                     .metalFamily = "Supported",
                     .raw = {{"Profiler Source", "system_profiler SPDisplaysDataType"}}};
}

std::vector<SensorReading> readings(const std::string& value) {
    return {SensorReading{.name = "GPU Temperature", .value = value, .unit = "°C"}};
}

// Records the order in which the store's observable properties are assigned.
class SignalRecorder {
  public:
    explicit SignalRecorder(GPUStore& store) {
        const std::pair<void (GPUStore::*)(), const char*> changeSignals[] = {
            {&GPUStore::devicesChanged, "devices"},
            {&GPUStore::selectedIDChanged, "selectedID"},
            {&GPUStore::sensorsChanged, "sensors"},
            {&GPUStore::isRefreshingChanged, "isRefreshing"},
            {&GPUStore::lastRefreshChanged, "lastRefresh"},
            {&GPUStore::refreshCountChanged, "refreshCount"},
            {&GPUStore::advancedRowsChanged, "advancedRows"},
        };
        for (const auto& [signal, name] : changeSignals) {
            QObject::connect(&store, signal, [this, name = std::string(name)] { order.push_back(name); });
        }
    }
    std::vector<std::string> order;
};

struct StoreFixture : ::testing::Test {
    std::shared_ptr<FakeAsyncCollector> fake = std::make_shared<FakeAsyncCollector>();
    std::unique_ptr<GPUStore> store = std::make_unique<GPUStore>(fake);

    void SetUp() override { fake->fastDevices = {device("Fast A"), device("Fast B")}; }

    // Let the tasks still waiting end, so nothing outlives the test.
    void TearDown() override {
        store.reset();
        fake->cancelUnreleased();
        settle();
        fake.reset();
    }

    void startWith(std::vector<GPUDevice> found) {
        store->startupRefresh();
        fake->releaseInventory(fake->inventories.size() - 1, std::move(found));
        settle();
    }
};

TEST_F(StoreFixture, StartUpPublishesBothPassesInOrder) {
    SignalRecorder recorder(*store);
    store->startupRefresh();
    EXPECT_EQ(store->refreshCount(), 1);
    EXPECT_TRUE(store->isRefreshing());
    ASSERT_EQ(fake->inventories.size(), 1u);

    fake->releaseInventory(0, {device("AMD Radeon RX 6800 XT"), device("Intel UHD Graphics 630")});
    settle();
    EXPECT_EQ(recorder.order, (std::vector<std::string>{"devices", "selectedID", "advancedRows", "sensors",
                                                        "lastRefresh", "refreshCount", "isRefreshing",
                                                        "devices", "selectedID", "advancedRows", "sensors",
                                                        "lastRefresh", "refreshCount", "isRefreshing"}));
    EXPECT_EQ(store->refreshCount(), 2);
    EXPECT_FALSE(store->isRefreshing());
    EXPECT_EQ(store->selectedGPU()->name, "AMD Radeon RX 6800 XT") << "no name matched: the first device";
    EXPECT_EQ(store->sensors().size(), 4u) << "basic readings until the Sensors tab asks for more";
    EXPECT_TRUE(fake->discoveries.empty());

    store->startupRefresh();
    EXPECT_EQ(store->refreshCount(), 2) << "a second start-up skips the fast pass";
    fake->releaseInventory(1, {device("AMD Radeon RX 6800 XT")});
    settle();
    EXPECT_EQ(store->refreshCount(), 3);
}

TEST_F(StoreFixture, RefreshKeepsTheSelectionByNameThenChipsetThenFirst) {
    startWith({device("A"), device("B"), device("C")});
    store->selectGPU(store->devices()[1].id);

    store->requestRefresh();
    fake->releaseInventory(1, {device("C"), device("X", "B"), device("B")});
    settle();
    EXPECT_EQ(store->selectedGPU(), &store->devices()[1])
        << "chipset of an earlier device beats a later name";

    store->requestRefresh();
    fake->releaseInventory(2, {device("Q"), device("R")});
    settle();
    EXPECT_EQ(store->selectedGPU(), &store->devices()[0]);
    EXPECT_EQ(store->selectedID(), store->devices()[0].id);
}

TEST_F(StoreFixture, RefreshPressedDuringStartUpOrTwiceRunsOneRefresh) {
    store->startupRefresh();
    store->requestRefresh();
    EXPECT_FALSE(testing::StoreProbe::hasPendingRefreshTask(*store))
        << "the start-up refresh was running: the task ended at once";
    EXPECT_EQ(fake->inventories.size(), 1u);
    fake->releaseInventory(0, {device("A")});
    settle();

    store->requestRefresh();
    store->requestRefresh();
    EXPECT_TRUE(testing::StoreProbe::hasPendingRefreshTask(*store));
    EXPECT_EQ(fake->inventories.size(), 2u);
    fake->releaseInventory(1, {device("A")});
    settle();
    EXPECT_FALSE(testing::StoreProbe::hasPendingRefreshTask(*store));
    EXPECT_EQ(store->refreshCount(), 3);
}

TEST_F(StoreFixture, CancelledRefreshPublishesNothing) {
    CancellableTask startup;
    store->startupRefresh(startup);
    const auto fastDevices = store->devices();
    startup.cancel();
    fake->releaseInventory(0, {device("A"), device("B")});
    settle();
    EXPECT_EQ(store->devices(), fastDevices);
    EXPECT_EQ(store->refreshCount(), 1);
    EXPECT_FALSE(store->isRefreshing());

    // Cancelled while discovering.
    store->requestDynamicSensors();
    ASSERT_EQ(fake->discoveries.size(), 1u);
    CancellableTask second;
    store->refresh(second);
    fake->releaseInventory(1, {device("A")});
    settle();
    ASSERT_EQ(fake->discoveries.size(), 2u);
    second.cancel();
    fake->releaseSensors(1, readings("99"));
    settle();
    EXPECT_EQ(store->devices(), fastDevices);
    EXPECT_FALSE(store->isRefreshing());
    EXPECT_TRUE(testing::StoreProbe::sensorCacheOrder(*store).empty());

    // The refresh cancelled the discovery it found running.
    fake->releaseSensors(0, readings("50"));
    settle();
    EXPECT_TRUE(testing::StoreProbe::sensorCacheOrder(*store).empty());
}

TEST_F(StoreFixture, PickingAnotherGPUDropsTheFirstDiscovery) {
    startWith({device("A"), device("B")});
    store->requestDynamicSensors();
    ASSERT_EQ(fake->discoveries.size(), 1u);
    EXPECT_EQ(fake->sensorDevices[0]->name, "A");

    store->selectGPU(store->devices()[1].id);
    ASSERT_EQ(fake->discoveries.size(), 2u);
    fake->releaseSensors(0, readings("70"));
    settle();
    EXPECT_EQ(store->sensors()[0].name, "GPU Name") << "A's readings are not published...";
    EXPECT_TRUE(testing::StoreProbe::sensorCacheOrder(*store).empty()) << "...nor cached";

    fake->releaseSensors(1, readings("40"));
    settle();
    EXPECT_EQ(store->sensors()[0].value, "40");
    EXPECT_EQ(testing::StoreProbe::sensorCacheOrder(*store), std::vector<std::string>{"B|Unknown|Unknown"});

    // Back to B later: the cache answers at once, without discovery.
    store->selectGPU(store->devices()[0].id);
    store->selectGPU(store->devices()[1].id);
    EXPECT_EQ(store->sensors()[0].value, "40");
    EXPECT_EQ(fake->discoveries.size(), 3u) << "only A needed discovery";
}

// Two guards, each for a case the other cannot see: a newer selection cancels the pending
// discovery even when the user comes back to the same GPU, and a discovery that outlived its
// selection (a refresh replaced the list) publishes nothing although nobody cancelled it.
TEST_F(StoreFixture, ADiscoveryThatWasCancelledOrOutlivedItsSelectionPublishesNothing) {
    startWith({device("A"), device("B")});
    store->requestDynamicSensors();
    store->selectGPU(store->devices()[1].id);
    store->selectGPU(store->devices()[0].id);
    ASSERT_EQ(fake->discoveries.size(), 3u);
    fake->releaseSensors(0, readings("old A"));
    settle();
    EXPECT_NE(store->sensors().back().value, "old A") << "A is selected again, but by a newer selection";
    EXPECT_TRUE(testing::StoreProbe::sensorCacheOrder(*store).empty());
    fake->releaseSensors(2, readings("A"));
    settle();

    store->requestRefresh();
    store->selectGPU(store->devices()[1].id); // picked while the refresh collects
    ASSERT_EQ(fake->discoveries.size(), 4u);
    fake->releaseInventory(1, {device("A"), device("B")});
    settle();
    ASSERT_EQ(fake->discoveries.size(), 5u) << "the refresh's own discovery";
    fake->releaseSensors(4, readings("refreshed"));
    settle();
    const auto published = store->sensors();
    fake->releaseSensors(3, readings("B before the refresh"));
    settle();
    EXPECT_EQ(store->sensors(), published) << "its selection's id is gone with the old list";
}

TEST_F(StoreFixture, SelectingPublishesTheSelectionThenItsRowsThenItsReadings) {
    startWith({device("A"), device("B")});
    SignalRecorder recorder(*store);
    store->selectGPU(store->devices()[1].id);
    EXPECT_EQ(recorder.order, (std::vector<std::string>{"selectedID", "advancedRows", "sensors"}));
}

// The Sensors tab may appear while the refresh collects: the refresh must then discover too.
TEST_F(StoreFixture, ASensorRequestDuringTheCollectIsHonouredByTheRefresh) {
    store->startupRefresh();
    store->requestDynamicSensors();
    ASSERT_EQ(fake->discoveries.size(), 1u);
    fake->releaseInventory(0, {device("A")});
    settle();
    ASSERT_EQ(fake->discoveries.size(), 2u);
    EXPECT_TRUE(store->isRefreshing());
    fake->releaseSensors(1, readings("45"));
    settle();
    EXPECT_EQ(store->sensors()[0].value, "45");
}

TEST_F(StoreFixture, DynamicRefreshPublishesAndCachesTheChosenDevice) {
    startWith({device("A")});
    store->requestDynamicSensors();
    store->requestDynamicSensors();
    EXPECT_EQ(fake->discoveries.size(), 1u) << "a second request does nothing";
    fake->releaseSensors(0, readings("45"));
    settle();

    store->requestRefresh();
    fake->releaseInventory(1, {device("Z"), device("A")});
    settle();
    ASSERT_EQ(fake->discoveries.size(), 2u);
    EXPECT_EQ(fake->sensorDevices[1]->name, "A");
    EXPECT_TRUE(store->isRefreshing()) << "discovery is part of the refresh";
    fake->releaseSensors(1, readings("47"));
    settle();
    EXPECT_FALSE(store->isRefreshing());
    EXPECT_EQ(store->sensors()[0].value, "47");
    EXPECT_EQ(*testing::StoreProbe::cachedSensors(*store, store->selectedGPU()), store->sensors());
}

TEST_F(StoreFixture, CacheKeepsTheFourMostRecentlyStoredDevices) {
    const auto a = device("A"), b = device("B"), c = device("C"), d = device("D"), e = device("E");
    for (const auto* each : {&a, &b, &c, &d}) {
        testing::StoreProbe::cacheSensors(*store, readings(each->name), each);
    }
    testing::StoreProbe::cacheSensors(*store, readings("A again"), &a);
    ASSERT_TRUE(testing::StoreProbe::cachedSensors(*store, &c)); // reading does not reorder
    testing::StoreProbe::cacheSensors(*store, readings("E"), &e);
    EXPECT_EQ(testing::StoreProbe::sensorCacheOrder(*store),
              (std::vector<std::string>{"C|Unknown|Unknown", "D|Unknown|Unknown", "A|Unknown|Unknown",
                                        "E|Unknown|Unknown"}));
    EXPECT_FALSE(testing::StoreProbe::cachedSensors(*store, &b)) << "B was the oldest stored";
    EXPECT_EQ(testing::StoreProbe::cachedSensors(*store, &a)->at(0).value, "A again");

    testing::StoreProbe::cacheSensors(*store, readings("F"), &b);
    EXPECT_FALSE(testing::StoreProbe::cachedSensors(*store, &c)) << "C is evicted although it was read";

    const auto twin = device("D");
    EXPECT_EQ(testing::StoreProbe::cachedSensors(*store, &twin)->at(0).value, "D")
        << "same name and identifiers share an entry";
    EXPECT_FALSE(testing::StoreProbe::cachedSensors(*store, nullptr));
    testing::StoreProbe::cacheSensors(*store, readings("x"), nullptr);
    EXPECT_EQ(testing::StoreProbe::sensorCacheOrder(*store).size(), 4u);
}

TEST_F(StoreFixture, TasksThatOutliveTheStoreTouchNothing) {
    startWith({device("A"), device("B")});
    store->requestDynamicSensors();
    store->requestRefresh();
    store.reset();
    fake->releaseSensors(0, readings("1"));
    fake->releaseInventory(1, {device("A")});
    settle();
    SUCCEED() << "no use after free (the asan build checks)";
}

GPUDevice inSlot(GPUDevice gpu, const char* slot) {
    gpu.raw[pciSlotKey] = slot;
    return gpu;
}

// Identical cards share name and identifiers; only their slots tell them apart.
TEST_F(StoreFixture, TwinCardsKeepTheirOwnReadingsAndCardTwoStaysSelectedAcrossRefresh) {
    const auto one = inSlot(device("AMD Radeon RX 6800 XT", {}, "0x73bf"), "0000:03:00.0");
    const auto two = inSlot(device("AMD Radeon RX 6800 XT", {}, "0x73bf"), "0000:0b:00.0");
    startWith({one, two});
    store->requestDynamicSensors();
    fake->releaseSensors(0, readings("47"));
    settle();
    store->selectGPU(store->devices()[1].id);
    ASSERT_EQ(fake->discoveries.size(), 2u) << "card two's readings are not card one's cache entry";
    fake->releaseSensors(1, readings("88"));
    settle();
    store->selectGPU(store->devices()[0].id);
    EXPECT_EQ(store->sensors()[0].value, "47");
    store->selectGPU(store->devices()[1].id);
    EXPECT_EQ(store->sensors()[0].value, "88");
    EXPECT_EQ(fake->discoveries.size(), 2u) << "both from the cache";
    EXPECT_EQ(testing::StoreProbe::sensorCacheOrder(*store),
              (std::vector<std::string>{"AMD Radeon RX 6800 XT|0x73bf|Unknown|0000:03:00.0",
                                        "AMD Radeon RX 6800 XT|0x73bf|Unknown|0000:0b:00.0"}));

    // A sleeping NVIDIA card is named from pci.ids, an awake one by its driver: the slot holds.
    store->requestRefresh();
    fake->releaseInventory(
        1, {one, inSlot(device("Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]"), "0000:0b:00.0")});
    settle();
    ASSERT_EQ(fake->sensorDevices.size(), 3u);
    EXPECT_EQ(*pciSlotOf(*fake->sensorDevices[2]), "0000:0b:00.0");
    fake->releaseSensors(2, readings("89"));
    settle();
    EXPECT_EQ(*pciSlotOf(*store->selectedGPU()), "0000:0b:00.0");
}

TEST(StoreState, AdvancedRowsSortByCodePointAndEmitOnEveryAssignment) {
    GPUStore store(std::make_shared<testing::FakeAsyncCollector>());
    QSignalSpy spy(&store, &GPUStore::advancedRowsChanged);
    GPUDevice device{.raw = {{"sppci_model", "x"}, {"_name", "y"}, {"Profiler Source", "z"}, {"Ärger", "w"}}};
    testing::StoreProbe::updateAdvancedRows(store, &device);
    ASSERT_EQ(store.advancedRows().size(), 4u);
    EXPECT_EQ(store.advancedRows()[0].key, "Profiler Source");
    EXPECT_EQ(store.advancedRows()[1].key, "_name");
    EXPECT_EQ(store.advancedRows()[2].key, "sppci_model");
    EXPECT_EQ(store.advancedRows()[3].key, "Ärger") << "U+00C4 comes after every ASCII letter";

    testing::StoreProbe::updateAdvancedRows(store, nullptr);
    testing::StoreProbe::updateAdvancedRows(store, nullptr);
    EXPECT_TRUE(store.advancedRows().empty());
    EXPECT_EQ(spy.count(), 3) << "unchanged values are announced too";
}

struct ReportFixture : StoreFixture {
    std::optional<std::vector<GPUReport>> result;

    void report(std::chrono::milliseconds deadline) {
        QCoro::connect(store->reportEveryGPU(deadline), store.get(),
                       [this](const std::vector<GPUReport>& reports) { result = reports; });
    }
};

std::vector<std::string> summaries(const std::vector<GPUReport>& reports) {
    std::vector<std::string> out;
    for (const auto& report : reports) {
        out.push_back(report.device.name + " " + report.readings.back().value +
                      (report.readingsLate ? " late" : ""));
    }
    return out;
}

TEST_F(ReportFixture, ReportsEveryGPUOnceInListOrderEachSelectedByItsId) {
    report(std::chrono::seconds(30));
    fake->releaseInventory(0, {inSlot(device("NVIDIA H100"), "0000:18:00.0"),
                               inSlot(device("NVIDIA H100"), "0000:2a:00.0"), device("ASPEED")});
    settle();
    for (std::size_t i = 0; i < 3; ++i) {
        ASSERT_EQ(fake->discoveries.size(), i + 1);
        EXPECT_EQ(fake->sensorDevices[i]->raw, store->devices()[i].raw);
        fake->releaseSensors(i, readings(std::to_string(33 + i)));
        settle();
    }
    ASSERT_TRUE(result);
    EXPECT_EQ(summaries(*result),
              (std::vector<std::string>{"NVIDIA H100 33", "NVIDIA H100 34", "ASPEED 35"}));
}

// A wedged driver holds discovery, a wedged profiler the refresh: the report still ends.
TEST_F(ReportFixture, WhatComesAfterTheDeadlineIsReportedLate) {
    report(std::chrono::milliseconds(100));
    fake->releaseInventory(0, {device("A"), device("B")});
    settle();
    fake->releaseSensors(0, readings("40"));
    QElapsedTimer clock;
    clock.start();
    while (!result && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ASSERT_TRUE(result);
    EXPECT_EQ(summaries(*result), (std::vector<std::string>{"A 40", "B 0 late"})) << "B's basic readings";

    result.reset();
    store = std::make_unique<GPUStore>(fake);
    report(std::chrono::milliseconds(100));
    clock.restart();
    while (!result && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ASSERT_TRUE(result);
    EXPECT_EQ(summaries(*result), (std::vector<std::string>{"Fast A 0 late", "Fast B 0 late"}))
        << "the profiler never answered: the fast list";
}

// The CSV log's later samples: sensors only, each GPU in order, the store's state untouched.
TEST_F(ReportFixture, ReadingAgainReadsOnlyTheSensorsAndMarksWhatIsLate) {
    startWith({device("A"), device("B")});
    const auto selected = store->selectedID();
    const auto inventories = fake->inventories.size();
    SignalRecorder recorder(*store);
    std::optional<std::vector<GPUReport>> again;
    QCoro::connect(store->readSensorsAgain(
                       {GPUReport{.device = store->devices()[0]}, GPUReport{.device = store->devices()[1]}},
                       std::chrono::milliseconds(200)),
                   store.get(), [&again](const std::vector<GPUReport>& reports) { again = reports; });
    ASSERT_EQ(fake->discoveries.size(), 1u) << "one GPU at a time";
    fake->releaseSensors(0, readings("41"));
    settle();
    ASSERT_EQ(fake->discoveries.size(), 2u);
    EXPECT_EQ(fake->sensorDevices[1]->name, "B");
    QElapsedTimer clock;
    clock.start();
    while (!again && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ASSERT_TRUE(again);
    EXPECT_EQ(summaries(*again), (std::vector<std::string>{"A 41", "B 0 late"}));
    EXPECT_EQ(fake->inventories.size(), inventories) << "no inventory";
    EXPECT_EQ(store->selectedID(), selected);
    EXPECT_TRUE(recorder.order.empty()) << "nothing the views observe changes";
}

// Live reads the selected GPU at once, then a period after each read began. A read still running
// when the period ends delays the next instead of being joined by a second. Live runs while any
// window wants it; once none does the timer stops, and the read under way is still published.
// Turned on again within a period, it waits for the rest of it.
TEST_F(StoreFixture, LiveReadsOneAtATimeEverySecondUntilOff) {
    startWith({device("A"), device("B")});
    store->requestDynamicSensors();
    fake->releaseSensors(0, readings("40"));
    settle();
    auto window1 = std::make_unique<QObject>();
    QObject window2;
    store->setLiveSensors(window1.get(), true);
    ASSERT_EQ(fake->discoveries.size(), 2u) << "at once";
    EXPECT_EQ(fake->sensorDevices[1]->name, "A");
    store->setLiveSensors(&window2, true);
    QTest::qWait(2500);
    ASSERT_EQ(fake->discoveries.size(), 2u) << "a slow read is never joined by another";
    fake->releaseSensors(1, readings("41"));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(QTest::qWaitFor([this] { return fake->discoveries.size() == 3; }, 1000));
    EXPECT_GE(clock.elapsed(), 200) << "late, the next a quarter period after";
    EXPECT_EQ(store->sensors()[0].value, "41");
    clock.restart();
    fake->releaseSensors(2, readings("42"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return fake->discoveries.size() == 4; }, 2000));
    EXPECT_GE(clock.elapsed(), 900);
    window1.reset();
    fake->releaseSensors(3, readings("43"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return fake->discoveries.size() == 5; }, 2000))
        << "one window going leaves the other's Live running";
    store->setLiveSensors(&window2, false);
    fake->releaseSensors(4, readings("44"));
    QTest::qWait(1500);
    EXPECT_EQ(store->sensors()[0].value, "44");
    EXPECT_EQ(fake->discoveries.size(), 5u);

    store->setLiveSensors(&window2, true);
    ASSERT_EQ(fake->discoveries.size(), 6u);
    fake->releaseSensors(5, readings("45"));
    settle();
    store->setLiveSensors(&window2, false);
    store->setLiveSensors(&window2, true);
    EXPECT_EQ(fake->discoveries.size(), 6u) << "shown again within the period: it waits for the rest";
    EXPECT_TRUE(QTest::qWaitFor([this] { return fake->discoveries.size() == 7; }, 1500));
    store->setLiveSensors(&window2, false);
}

std::vector<SensorReading> measured(double celsius) {
    auto result = readings(std::to_string(static_cast<int>(celsius)));
    result[0].measurement = Measurement{.kind = "temperature", .value = celsius};
    return result;
}

// The selected GPU's temperature history.
std::vector<double> historyValues(const GPUStore& store) {
    std::vector<double> values;
    if (const auto* points = store.historyOf(measured(0)[0])) {
        for (const auto& point : *points) {
            values.push_back(point.value);
        }
    }
    return values;
}

// A live result for a GPU that is no longer selected is dropped. Each GPU's history follows its
// bus address across selections and a refresh that renames it; a sleeping GPU's read adds nothing.
TEST_F(StoreFixture, LiveDropsAnUnselectedGPUsResultAndHistoryFollowsTheSlot) {
    startWith({inSlot(device("Radeon"), "0000:03:00.0"), inSlot(device("GeForce"), "0000:0b:00.0")});
    store->requestDynamicSensors();
    fake->releaseSensors(0, measured(47));
    settle();
    store->setLiveSensors(store.get(), true);
    store->selectGPU(store->devices()[1].id);
    ASSERT_EQ(fake->discoveries.size(), 3u);
    fake->releaseSensors(1, measured(99));
    fake->releaseSensors(2, measured(60));
    settle();
    EXPECT_EQ(historyValues(*store), std::vector<double>{60});
    store->setLiveSensors(store.get(), false);
    store->selectGPU(store->devices()[0].id);
    EXPECT_EQ(historyValues(*store), std::vector<double>{47}) << "the Radeon's dropped 99 is nowhere";

    store->requestRefresh();
    fake->releaseInventory(1, {inSlot(device("Navi 21"), "0000:03:00.0")});
    settle();
    fake->releaseSensors(fake->discoveries.size() - 1, measured(48));
    settle();
    EXPECT_EQ(historyValues(*store), (std::vector<double>{47, 48}));
    const SensorReading asleep{.name = "Sleep State",
                               .value = "Asleep",
                               .measurement = Measurement{.kind = "runtimeSuspended", .value = 1}};
    store->setLiveSensors(store.get(), true);
    fake->releaseSensors(fake->discoveries.size() - 1, {asleep});
    settle();
    store->setLiveSensors(store.get(), false);
    EXPECT_EQ(store->historyOf(asleep), nullptr);
    EXPECT_EQ(historyValues(*store), (std::vector<double>{47, 48})) << "paused while asleep";
    store->selectGPU(store->devices()[0].id);
}

// Five minutes to the nanosecond: a point exactly that old stays, one a millisecond older goes.
TEST(SensorHistory, KeepsFiveMinutesPerGPUAndReadingAndNoSleepState) {
    SensorHistory history;
    const auto start = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    const auto temperature = measured(40)[0];
    history.record("0000:03:00.0", measured(40), start);
    history.record("0000:0b:00.0", measured(70), start);
    history.record("0000:03:00.0", measured(41), start + SensorHistory::span);
    ASSERT_EQ(history.of("0000:03:00.0", temperature)->size(), 2u);
    EXPECT_EQ(history.of("0000:03:00.0", temperature)->back().shown, "41 °C");
    history.record("0000:03:00.0", measured(42), start + SensorHistory::span + std::chrono::milliseconds(1));
    ASSERT_EQ(history.of("0000:03:00.0", temperature)->size(), 2u);
    EXPECT_EQ(history.of("0000:03:00.0", temperature)->front().value, 41);
    EXPECT_EQ(history.of("0000:0b:00.0", temperature)->size(), 1u)
        << "another GPU's points wait for its own read";
    history.record("0000:03:00.0", {}, start + std::chrono::minutes(20));
    EXPECT_EQ(history.of("0000:03:00.0", temperature), nullptr);
}

} // namespace
} // namespace tarsik
