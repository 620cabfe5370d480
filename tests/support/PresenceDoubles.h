#pragma once

#include <memory>
#include <vector>

#include "platform/StatusBar.h"
#include "tests/support/RecordingApplicationWindows.h"

namespace quillet::test {

// A tray that records every icon it makes, whether it still shows, and the menus it was given.
class RecordingStatusBar final : public StatusBar {
public:
    struct Record {
        bool shown = true;
        std::vector<StatusMenu> menus;
    };

    std::unique_ptr<StatusItem> makeStatusItem() override {
        records.push_back(std::make_shared<Record>());
        return std::make_unique<Item>(records.back());
    }
    bool isTrayAvailable() const override { return trayAvailable; }
    // The icons on show now.
    int shownCount() const {
        int count = 0;
        for (const auto& record : records) count += record->shown;
        return count;
    }
    // The menu the newest icon shows.
    const StatusMenu& currentMenu() const { return records.back()->menus.back(); }

    std::vector<std::shared_ptr<Record>> records;
    bool trayAvailable = true;

private:
    class Item final : public StatusItem {
    public:
        explicit Item(std::shared_ptr<Record> record) : record_(std::move(record)) {}
        ~Item() override { record_->shown = false; }
        void setMenu(StatusMenu menu) override { record_->menus.push_back(std::move(menu)); }

    private:
        std::shared_ptr<Record> record_;
    };
};

}  // namespace quillet::test
