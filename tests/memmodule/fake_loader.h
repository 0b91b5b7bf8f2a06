// An in-memory stand-in for the loader's platform: reservations are host buffers
// at pretend 32-bit addresses, libraries and functions come from tables, and
// every call is recorded so tests can see what the loader asked for.
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
    static constexpr uint32_t kElsewhere = 0x30000000;       // where "anywhere" lands
    static constexpr uint32_t kLargestReservation = 64 << 20;  // larger requests are refused

    struct Call {
        uint32_t code, a1, a2, a3;
    };

    ImageMemory Allocate(uint32_t address, uint32_t size) override
    {
        allocations.push_back({address, size});
        if (size == 0 || size > kLargestReservation || (address != 0 && !preferredFree))
            return ImageMemory{};
        blocks.push_back(std::make_unique<std::vector<uint8_t>>(size));
        return ImageMemory{blocks.back()->data(), address != 0 ? address : kElsewhere, 0};
    }
    void Free(const ImageMemory& memory) override
    {
        frees.push_back(memory.address);
        for (auto it = blocks.begin(); it != blocks.end(); ++it) {
            if ((*it)->data() == memory.bytes) {
                blocks.erase(it);
                return;
            }
        }
    }
    uint32_t FindLoadedLibrary(const char* name) override { return Library(loaded, name); }
    uint32_t LoadNamedLibrary(const char* name) override
    {
        loadRequests.push_back(name);
        return Library(loadable, name);
    }
    uint32_t FindProcByName(uint32_t library, const char* name) override
    {
        auto it = procsByName.find({library, name});
        return it == procsByName.end() ? 0 : it->second;
    }
    uint32_t FindProcByOrdinal(uint32_t library, uint16_t ordinal) override
    {
        auto it = procsByOrdinal.find({library, ordinal});
        return it == procsByOrdinal.end() ? 0 : it->second;
    }
    uint32_t CallEntry(uint32_t code, uint32_t a1, uint32_t a2, uint32_t a3) override
    {
        calls.push_back({code, a1, a2, a3});
        return entryResult;
    }

    // Host view of the live reservation (tests read the mapped image through it).
    const std::vector<uint8_t>* Block() const { return blocks.empty() ? nullptr : blocks.back().get(); }

    bool preferredFree = true;
    uint32_t entryResult = 1;
    std::map<std::string, uint32_t> loaded, loadable;
    std::map<std::pair<uint32_t, std::string>, uint32_t> procsByName;
    std::map<std::pair<uint32_t, uint16_t>, uint32_t> procsByOrdinal;

    std::vector<std::pair<uint32_t, uint32_t>> allocations;  // (address, size) asked for
    std::vector<uint32_t> frees;
    std::vector<std::string> loadRequests;
    std::vector<Call> calls;

private:
    static uint32_t Library(const std::map<std::string, uint32_t>& table, const char* name)
    {
        auto it = table.find(name);
        return it == table.end() ? 0 : it->second;
    }
    std::vector<std::unique_ptr<std::vector<uint8_t>>> blocks;
};
