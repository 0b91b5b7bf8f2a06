// An in-memory stand-in for the loader's platform, of either format: reservations
// are host buffers at pretend addresses (above 4 GiB for PE32+ when the preferred
// one is refused), libraries and functions come from tables, and every call is
// recorded so tests can see what the loader asked for and in which order.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "memmodule/loader_platform.h"

class FakeLoader : public LoaderPlatform {
public:
    static constexpr uint64_t kElsewhere = 0x30000000;        // where "anywhere" lands (PE32)
    static constexpr uint64_t kElsewhere64 = 0x340000000;     // and for PE32+: another 4 GiB span
    static constexpr uint32_t kLargestReservation = 64 << 20;  // larger requests are refused

    struct Call {
        uint64_t code, a1;
        uint32_t a2;
        uint64_t a3;
    };
    struct Table {
        uint64_t table;
        uint32_t count;
        uint64_t base;
    };

    explicit FakeLoader(ImageFormat imageFormat = ImageFormat::Pe32) : format(imageFormat) {}

    ImageFormat Format() const override { return format; }
    uint64_t Elsewhere() const { return format == ImageFormat::Pe32Plus ? kElsewhere64 : kElsewhere; }

    ImageMemory Allocate(uint64_t address, uint32_t size) override
    {
        allocations.push_back({address, size});
        if (size == 0 || size > kLargestReservation || (address != 0 && !preferredFree))
            return ImageMemory{};
        blocks.push_back(std::make_unique<std::vector<uint8_t>>(size));
        return ImageMemory{blocks.back()->data(), address != 0 ? address : Elsewhere(), 0};
    }
    void Free(const ImageMemory& memory) override
    {
        events.push_back("free");
        frees.push_back(memory.address);
        for (auto it = blocks.begin(); it != blocks.end(); ++it) {
            if ((*it)->data() == memory.bytes) {
                blocks.erase(it);
                return;
            }
        }
    }
    uint64_t FindLoadedLibrary(const char* name) override { return Library(loaded, name); }
    uint64_t LoadNamedLibrary(const char* name) override
    {
        loadRequests.push_back(name);
        return Library(loadable, name);
    }
    uint64_t FindProcByName(uint64_t library, const char* name) override
    {
        auto it = procsByName.find({library, name});
        return it == procsByName.end() ? 0 : it->second;
    }
    uint64_t FindProcByOrdinal(uint64_t library, uint16_t ordinal) override
    {
        auto it = procsByOrdinal.find({library, ordinal});
        return it == procsByOrdinal.end() ? 0 : it->second;
    }
    uint32_t CallEntry(uint64_t code, uint64_t a1, uint32_t a2, uint64_t a3) override
    {
        events.push_back("call");
        calls.push_back({code, a1, a2, a3});
        return entryResult;
    }
    bool AddFunctionTable(uint64_t table, uint32_t count, uint64_t base) override
    {
        events.push_back("add table");
        tablesAdded.push_back({table, count, base});
        return addTableResult;
    }
    void DeleteFunctionTable(uint64_t table) override
    {
        events.push_back("delete table");
        tablesDeleted.push_back(table);
    }

    // Host view of the live reservation (tests read the mapped image through it).
    const std::vector<uint8_t>* Block() const { return blocks.empty() ? nullptr : blocks.back().get(); }

    ImageFormat format;
    bool preferredFree = true;
    uint32_t entryResult = 1;
    bool addTableResult = true;
    std::map<std::string, uint64_t> loaded, loadable;
    std::map<std::pair<uint64_t, std::string>, uint64_t> procsByName;
    std::map<std::pair<uint64_t, uint16_t>, uint64_t> procsByOrdinal;

    std::vector<std::pair<uint64_t, uint32_t>> allocations;  // (address, size) asked for
    std::vector<uint64_t> frees;
    std::vector<std::string> loadRequests;
    std::vector<Call> calls;
    std::vector<Table> tablesAdded;
    std::vector<uint64_t> tablesDeleted;
    std::vector<std::string> events;  // "call", "add table", "delete table", "free" in order

private:
    static uint64_t Library(const std::map<std::string, uint64_t>& table, const char* name)
    {
        auto it = table.find(name);
        return it == table.end() ? 0 : it->second;
    }
    std::vector<std::unique_ptr<std::vector<uint8_t>>> blocks;
};
