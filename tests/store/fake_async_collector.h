#pragma once

#include "store/async_collector.h"

#include <QPromise>
#include <deque>

namespace tarsik::testing {

// A collector whose background results the test hands over by hand, so that every race between
// a refresh, a selection and a discovery plays out in a fixed order.
class FakeAsyncCollector final : public AsyncCollector {
  public:
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

    std::deque<QPromise<std::vector<GPUDevice>>> inventories;
    std::deque<QPromise<std::vector<SensorReading>>> discoveries;
    std::vector<std::optional<GPUDevice>> sensorDevices;
};

} // namespace tarsik::testing
