#include "keytransfer.h"

#include "continouskeydefine.h"
#include "keyboard.h"
#include "link.h"
#include "macrokeydefine.h"
#include "normalkeydefine.h"

#include <memory>
#include <new>
#include <vector>

using namespace hwi::protocol;

namespace hwi {

namespace {

constexpr int kBlock = static_cast<int>(kBlockSize);

int layerOfSlot(int slot) {
    return slot / kKeyCount + 1;
}
int keyOfSlot(int slot) {
    return slot % kKeyCount + 1;
}

bool writeRecord(CKeyboardUtil& link, CKeyDefine& record, int slot) {
    int length = 0;
    record.encode(nullptr, kBlock, &length);
    if (length <= 0 || length % kBlock != 0)
        return sendReport(link, reports::emptySlot(layerOfSlot(slot), keyOfSlot(slot)));
    std::vector<std::uint8_t> buffer;
    try {
        buffer.assign(static_cast<std::size_t>(length), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // A type 1 record without codes reports false but has written its block.
    record.encode(buffer.data(), kBlock, &length);
    for (int offset = 0; offset < length; offset += kBlock)
        if (!sendReport(link, reports::fromBlock(buffer.data() + offset)))
            return false;
    return true;
}

// A record of the class that a type byte names, or null for none.
std::unique_ptr<CKeyDefine> recordOfType(int type, int key, int layer) {
    switch (type) {
    case 0:
        return std::make_unique<CNormalKeyDefine>(key, layer);
    case 1:
        return std::make_unique<CContinousKeyDefine>(key, layer);
    case 2:
    case 3:
    case 4: {
        auto macro = std::make_unique<CMacroKeyDefine>(key, layer);
        macro->type = type;
        return macro;
    }
    default:
        return nullptr;
    }
}

bool isMacroType(int type) {
    return type >= 2 && type <= 4;
}

} // namespace

bool writeKeyDefinitions(CKeyboardUtil& link, const CTavo& device, HWND progress) {
    if (!sendReport(link, reports::command(CMD_KEYS_BEGIN)))
        return false;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        CKeyDefine* record = device.slots[static_cast<std::size_t>(slot)];
        const bool sent =
            record ? writeRecord(link, *record, slot)
                   : sendReport(link, reports::emptySlot(layerOfSlot(slot), keyOfSlot(slot)));
        if (!sent)
            return false;
        postProgress(progress, static_cast<unsigned>(slot));
    }
    return sendReport(link, reports::keysEnd());
}

bool readKeyDefinitions(CKeyboardUtil& link, CTavo& device, HWND progress) {
    if (!sendReport(link, reports::command(CMD_KEYS_READ)))
        return false;
    reports::Reply reply{};
    std::vector<std::uint8_t> blocks;
    for (long replies = 0; replies < kMaxRepliesPerRead; ++replies) {
        if (!readReply(link, reply))
            return false;
        if (reply[0] == CMD_KEYS_END)
            return true;
        if (reply[1] != CMD_KEY_RECORD)
            continue;
        const int layer = reply[2];
        const int key = reply[3];
        const int type = reply[4];

        int count = 1;
        if (isMacroType(type)) {
            const int payload = reply[9] * 256 + reply[10];
            if (payload > static_cast<int>(kMacroPieceSize))
                count = (payload + static_cast<int>(kMacroPieceSize) - 1) /
                        static_cast<int>(kMacroPieceSize);
        }
        blocks.assign(reply.begin(), reply.end());
        for (int j = 1; j < count; ++j, ++replies) {
            if (!readReply(link, reply))
                return false;
            blocks.insert(blocks.end(), reply.begin(), reply.end());
        }

        if (layer < 1 || layer > kLayerCount || key < 1 || key > kKeyCount)
            continue;
        auto record = recordOfType(type, key, layer);
        if (!record)
            continue;
        record->decode(blocks.data(), kBlock, static_cast<int>(blocks.size()));
        const int slot = (layer - 1) * kKeyCount + key - 1;
        device.setSlot(slot, record.release());
        postProgress(progress, static_cast<unsigned>(slot));
    }
    return false;
}

} // namespace hwi
