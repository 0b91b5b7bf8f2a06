// Fuzzes the conversion into stream records: a file is opened on a device that gives
// every buffer back at once, played (looping by the first byte) for a bounded number
// of buffers, and closed.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "audio/midi_stream_player.h"

namespace {

constexpr int kMaxBuffers = 64;
constexpr uint32_t kRecordBytes = 12;

// A synchronous device: buffers queue up, and the fuzzer hands them back one by one.
class QueueStream final : public MidiStream {
public:
    MidiResult Open(MidiStreamHandle& stream, uint32_t, MidiStreamClient& c) override
    {
        stream = 1;
        client = &c;
        return kMidiOk;
    }
    MidiResult SetTimeDivision(MidiStreamHandle, uint32_t) override { return kMidiOk; }
    MidiResult PrepareHeader(MidiStreamHandle, MidiHeader&) override { return kMidiOk; }
    MidiResult UnprepareHeader(MidiStreamHandle, MidiHeader&) override { return kMidiOk; }
    MidiResult Out(MidiStreamHandle, MidiHeader& header) override
    {
        // The device reads every record: out-of-range records trip ASan here.
        if (header.bytesRecorded > header.bufferLength || header.bytesRecorded % kRecordBytes != 0)
            __builtin_trap();
        for (uint32_t i = 0; i < header.bytesRecorded; ++i)
            checksum += header.data[i];
        queue.push_back(&header);
        return kMidiOk;
    }
    MidiResult Restart(MidiStreamHandle) override { return kMidiOk; }
    MidiResult Stop(MidiStreamHandle) override { return kMidiOk; }
    MidiResult Reset(MidiStreamHandle) override
    {
        ReturnAll();
        return kMidiOk;
    }
    MidiResult Close(MidiStreamHandle) override { return kMidiOk; }

    bool ReturnOne()
    {
        if (queue.empty())
            return false;
        MidiHeader* header = queue.front();
        queue.pop_front();
        client->OnStreamMessage(kMomDone, header);
        return true;
    }
    void ReturnAll()
    {
        while (ReturnOne()) {
        }
    }

    MidiStreamClient* client = nullptr;
    std::deque<MidiHeader*> queue;
    uint32_t checksum = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > UINT32_MAX)
        return 0;
    const bool loop = data[0] & 1;
    std::vector<uint8_t> file(data + 1, data + size);   // exact size: reads past it are caught
    QueueStream device;
    MidiStreamPlayer player(device);
    if (!player.Open(file.data(), uint32_t(file.size())))
        return 0;
    player.Play(loop);
    for (int i = 0; i < kMaxBuffers && device.ReturnOne(); ++i) {
    }
    player.Play(false);
    device.ReturnOne();
    player.Close();
    return 0;
}
