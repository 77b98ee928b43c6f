// The packet buffer, the send queue and the id list against plain models, under any
// sequence of operations.
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "net/qel_id_list.h"
#include "net/qel_packet.h"
#include "net/qel_packet_queue.h"

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool More() const { return size_ > 0; }
    uint8_t Byte() {
        if (size_ == 0) return 0;
        --size_;
        return *data_++;
    }
    int64_t Offset() {
        // Mostly small offsets, sometimes extreme ones.
        uint8_t kind = Byte();
        if (kind == 0xFF) return INT64_MAX - Byte();
        if (kind == 0xFE) return -static_cast<int64_t>(Byte()) - 1;
        return kind;
    }

private:
    const uint8_t* data_;
    size_t size_;
};

uint32_t ModelU(const std::string& model, int64_t offset, int bytes) {
    if (offset < 0 || offset > static_cast<int64_t>(model.size()) - bytes) return 0;
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | static_cast<uint8_t>(model[static_cast<size_t>(offset) + i]);
    return value;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input input(data, size);
    QelPacket packet;
    std::string model;
    QelPacketQueue queue;
    std::deque<std::string> queueModel;
    QelIdList<int> list;
    std::vector<std::pair<uint32_t, int*>> listModel;
    int objects[8] = {};
    while (input.More()) {
        uint8_t op = input.Byte();
        switch (op % 12) {
        case 0: {
            std::string bytes(input.Byte(), static_cast<char>(op));
            packet.Append(bytes.data(), static_cast<int64_t>(bytes.size()));
            model += bytes;
            break;
        }
        case 1: {
            uint32_t value = input.Byte() * 0x01010101u;
            packet.PutU32(value);
            for (int shift = 24; shift >= 0; shift -= 8)
                model += static_cast<char>(value >> shift);
            break;
        }
        case 2: {
            int64_t offset = input.Offset();
            Check(packet.GetU8(offset) == ModelU(model, offset, 1));
            Check(packet.GetU16(offset) == ModelU(model, offset, 2));
            Check(packet.GetU32(offset) == ModelU(model, offset, 4));
            break;
        }
        case 3: {
            int64_t offset = input.Offset();
            int64_t n = input.Offset();
            if (offset >= 0 && offset < static_cast<int64_t>(model.size()) && n > 0)
                model.erase(static_cast<size_t>(offset), static_cast<size_t>(n));
            packet.Erase(offset, n);
            break;
        }
        case 4: {
            int64_t offset = input.Offset();
            int64_t n = input.Offset();
            auto text = packet.CopyText(offset, n);
            bool valid = offset >= 0 && offset <= static_cast<int64_t>(model.size());
            Check(text.has_value() == valid);
            if (valid) {
                int64_t rest = static_cast<int64_t>(model.size()) - offset;
                size_t count = static_cast<size_t>(n < 0 ? 0 : n > rest ? rest : n);
                Check(*text == model.substr(static_cast<size_t>(offset), count));
            }
            break;
        }
        case 5:
            packet.Clear();
            model.clear();
            break;
        case 6: {
            std::string bytes(input.Byte(), 'q');
            queue.Push(bytes.data(), bytes.size());
            queueModel.push_back(bytes);
            break;
        }
        case 7: {
            size_t index = input.Byte() % 4;
            queue.Remove(index);
            if (index < queueModel.size())
                queueModel.erase(queueModel.begin() + static_cast<ptrdiff_t>(index));
            break;
        }
        case 8: {
            uint32_t id = input.Byte() % 16;
            int* object = &objects[id % 8];
            bool present = false;
            for (auto& entry : listModel)
                present |= entry.first == id;
            Check(list.Add(object, id) == !present);
            if (!present) listModel.emplace_back(id, object);
            break;
        }
        case 9: {
            uint32_t id = input.Byte() % 16;
            list.RemoveById(id);
            for (auto it = listModel.begin(); it != listModel.end(); ++it)
                if (it->first == id) {
                    listModel.erase(it);
                    break;
                }
            break;
        }
        default:
            break;
        }
        Check(packet.GetLength() == static_cast<int32_t>(model.size()));
        Check(model.empty() || std::memcmp(model.data(), packet.GetData(), model.size()) == 0);
        Check(queue.GetCount() == queueModel.size());
        uint64_t bytes = 0;
        for (size_t i = 0; i < queueModel.size(); ++i) {
            Check(queue.GetLength(i) == queueModel[i].size());
            bytes += queueModel[i].size();
        }
        Check(queue.GetBytes() == bytes);
        Check(list.GetCount() == listModel.size());
        for (size_t i = 0; i < listModel.size(); ++i) {
            Check(list.GetIdAt(i) == listModel[i].first);
            Check(list.FindById(listModel[i].first) == listModel[i].second);
        }
    }
    return 0;
}
