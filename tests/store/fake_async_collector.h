#pragma once

#include "store/async_collector.h"

#include <QPromise>
#include <deque>
#include <vector>

namespace tarsik::testing {

// A collector whose background results the test hands over by hand, so that every race between
// a refresh, a selection and a discovery plays out in a fixed order.
class FakeAsyncCollector final : public AsyncCollector {
  public:
    FakeAsyncCollector() { live().push_back(this); }
    ~FakeAsyncCollector() override { std::erase(live(), this); }
    FakeAsyncCollector(const FakeAsyncCollector&) = delete;
    FakeAsyncCollector& operator=(const FakeAsyncCollector&) = delete;

    // For the end of a test program: the tasks still waiting hold their collector, so the
    // collector and its unreleased work would otherwise outlive everything.
    static void cancelAllUnreleased() {
        for (auto* collector : std::vector(live())) {
            collector->cancelUnreleased();
        }
    }
    std::vector<GPUDevice> fastDevices;

    std::vector<GPUDevice> collectFast() override { return fastDevices; }

    QFuture<std::vector<GPUDevice>> collect() override {
        auto& promise = inventories.emplace_back();
        promise.start();
        return promise.future();
    }

    QFuture<std::vector<SensorReading>> sensorsAsync(std::optional<GPUDevice> device) override {
        sensorDevices.push_back(std::move(device));
        auto& promise = discoveries.emplace_back();
        promise.start();
        return promise.future();
    }

    void releaseInventory(std::size_t index, std::vector<GPUDevice> devices) {
        inventories.at(index).addResult(std::move(devices));
        inventories.at(index).finish();
    }

    void releaseSensors(std::size_t index, std::vector<SensorReading> readings) {
        discoveries.at(index).addResult(std::move(readings));
        discoveries.at(index).finish();
    }

    // Ends the work the test never released as cancelled work ends: finished without a result.
    // The tasks awaiting it hold this collector, so it is never destroyed while they wait.
    void cancelUnreleased() {
        for (auto& promise : inventories) {
            cancel(promise);
        }
        for (auto& promise : discoveries) {
            cancel(promise);
        }
    }

    std::deque<QPromise<std::vector<GPUDevice>>> inventories;
    std::deque<QPromise<std::vector<SensorReading>>> discoveries;
    std::vector<std::optional<GPUDevice>> sensorDevices;

  private:
    static std::vector<FakeAsyncCollector*>& live() {
        static std::vector<FakeAsyncCollector*> collectors;
        return collectors;
    }

    template <typename T> static void cancel(QPromise<T>& promise) {
        if (!promise.future().isFinished()) {
            promise.future().cancel();
            promise.finish();
        }
    }
};

} // namespace tarsik::testing
