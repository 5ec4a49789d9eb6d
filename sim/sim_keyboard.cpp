#include "sim_keyboard.h"

#include "hwi/protocol.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace sim {

namespace {

using namespace hwi::protocol;
using Report = platform::Report;

constexpr ModelInfo kModels[] = {
    {Model::Vanta, "vanta", 0x502b, "XRGB V1.00"},
    {Model::Corv, "corv", 0x512b, "XLED V1.00"},
    {Model::Third, "522b", 0x522b, "XRGB V1.00"},
};

constexpr int kStateFormat = 2;
constexpr std::size_t kCounterBytes = kCounterAreaSize;

// Offsets inside a key definition block (bytes 1..64 of its report).
constexpr std::size_t kBlockCode = 1;
constexpr std::size_t kBlockLayer = 2;
constexpr std::size_t kBlockKey = 3;
constexpr std::size_t kBlockType = 4;
constexpr std::size_t kBlockPayloadLength = 9; // two bytes, macro types
constexpr int kLastRecordType = 4;
constexpr int kFirstMacroType = 2;

// Intel HEX records inside a firmware line report (decoded bytes from byte 3).
constexpr std::size_t kLineFirst = 3;
constexpr std::size_t kRecordOverhead = 5; // byte count, two address bytes, type, checksum
constexpr std::size_t kRecordType = 3;
constexpr std::uint8_t kRecordEndOfFile = 0x01;
constexpr std::uint8_t kLastRecordKind = 0x05;

bool validVersion(const std::string& text) {
    return text.size() <= SimKeyboard::kMaxVersionBytes && text.find('\0') == std::string::npos;
}

// An input report with its code in r[1] (report byte 2).
Report replyWithCode(std::uint8_t code) {
    Report reply{};
    reply[2] = code;
    return reply;
}

// An end marker: r[0]..r[63] all the code, so that it reads as the end both
// where r[0] is looked at (key read) and where r[1] is (light, counters).
Report endReply(std::uint8_t code) {
    Report reply{};
    std::fill(reply.begin() + 1, reply.end(), code);
    return reply;
}

// Bytes that carry no code of the protocol in r[0] or r[1], different from
// one garbage reply to the next.
Report garbageReply(std::uint64_t serial) {
    Report reply{};
    for (std::size_t i = 1; i < reply.size(); ++i)
        reply[i] = static_cast<std::uint8_t>(0x80 | ((serial * 37 + i * 11) & 0x3F));
    return reply;
}

// The slot a key definition block names, or -1 when it names none (layer
// not 1 or 2, key not 1..104, type above 4, not a record block at all).
int slotOfBlock(const std::uint8_t* block) {
    if (block[kBlockCode] != CMD_KEY_RECORD)
        return -1;
    const int layer = block[kBlockLayer], key = block[kBlockKey], type = block[kBlockType];
    if (layer < 1 || layer > kLayerCount || key < 1 || key > kKeyCount || type > kLastRecordType)
        return -1;
    return (layer - 1) * kKeyCount + key - 1;
}

// How many blocks the record that starts with this block spans.
std::size_t blocksOfRecord(const std::uint8_t* block) {
    if (block[kBlockType] < kFirstMacroType)
        return 1;
    const std::size_t length = block[kBlockPayloadLength] * 256u + block[kBlockPayloadLength + 1];
    return std::max<std::size_t>(1, (length + kMacroPieceSize - 1) / kMacroPieceSize);
}

bool sameMacroHeader(const std::uint8_t* a, const std::uint8_t* b) {
    return std::equal(a, a + kMacroHeaderSize, b);
}

std::string toHex(const std::uint8_t* bytes, std::size_t length) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(length * 2);
    for (std::size_t i = 0; i < length; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    return text;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool fromHex(const std::string& text, std::vector<std::uint8_t>& bytes) {
    if (text.size() % 2 != 0)
        return false;
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = hexDigit(text[i]), low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return true;
}

// The blocks of a slot as a state file gives them: whole blocks of one record
// that belongs to this slot, as many as its header says.
bool validSlotBlocks(int s, const std::vector<std::uint8_t>& bytes, std::string& error) {
    const std::string where = "\"slots\"[" + std::to_string(s) + "]";
    if (bytes.empty())
        return true;
    if (bytes.size() % SimKeyboard::kBlockBytes != 0) {
        error = where + " is not a whole number of 64-byte blocks";
        return false;
    }
    const std::uint8_t* first = bytes.data();
    if (slotOfBlock(first) != s) {
        error = where + " does not start with a key definition block of layer " +
                std::to_string(s / kKeyCount + 1) + ", key " + std::to_string(s % kKeyCount + 1);
        return false;
    }
    const std::size_t blocks = bytes.size() / SimKeyboard::kBlockBytes;
    if (blocks != blocksOfRecord(first)) {
        error = where + " holds " + std::to_string(blocks) + " blocks where its record spans " +
                std::to_string(blocksOfRecord(first));
        return false;
    }
    for (std::size_t b = 1; b < blocks; ++b)
        if (!sameMacroHeader(first, first + b * SimKeyboard::kBlockBytes)) {
            error = where + ": block " + std::to_string(b) +
                    " does not repeat the first block's header";
            return false;
        }
    return true;
}

} // namespace

const ModelInfo& modelInfo(Model model) {
    for (const auto& info : kModels)
        if (info.model == model)
            return info;
    return kModels[0];
}

bool modelFromName(const std::string& name, Model& model) {
    for (const auto& info : kModels)
        if (name == info.name) {
            model = info.model;
            return true;
        }
    return false;
}

const SimKeyboard::Command SimKeyboard::kCommands[] = {
    {CMD_VERSION_READ, &SimKeyboard::onVersionRead},
    {CMD_KEYS_BEGIN, &SimKeyboard::onKeysBegin},
    {CMD_KEY_RECORD, &SimKeyboard::onKeyRecord},
    {CMD_KEYS_END, &SimKeyboard::onKeysEnd},
    {CMD_KEYS_READ, &SimKeyboard::onKeysRead},
    {CMD_LIGHT_BEGIN, &SimKeyboard::onLightBegin},
    {CMD_LIGHT_DATA, &SimKeyboard::onLightData},
    {CMD_LIGHT_END, &SimKeyboard::onLightEnd},
    {CMD_LIGHT_READ, &SimKeyboard::onLightRead},
    {CMD_COUNTERS_READ, &SimKeyboard::onCountersRead},
    {CMD_FIRMWARE_LINE, &SimKeyboard::onFirmwareLine},
};

SimKeyboard::SimKeyboard(Model model) : model_(model), version_(modelInfo(model).defaultVersion) {}

Model SimKeyboard::model() const {
    std::lock_guard lock(mutex_);
    return model_;
}

std::string SimKeyboard::version() const {
    std::lock_guard lock(mutex_);
    return version_;
}

bool SimKeyboard::setVersion(const std::string& version) {
    if (!validVersion(version))
        return false;
    std::lock_guard lock(mutex_);
    version_ = version;
    return true;
}

bool SimKeyboard::setNextVersion(const std::string& version) {
    if (!validVersion(version))
        return false;
    std::lock_guard lock(mutex_);
    nextVersion_ = version;
    return true;
}

Faults SimKeyboard::faults() const {
    std::lock_guard lock(mutex_);
    return faults_;
}

void SimKeyboard::setFaults(const Faults& faults) {
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

LinkTiming SimKeyboard::timing() const {
    std::lock_guard lock(mutex_);
    return timing_;
}

void SimKeyboard::setTiming(const LinkTiming& timing) {
    std::lock_guard lock(mutex_);
    timing_ = timing;
    timing_.latencyUs = std::max(timing_.latencyUs, 0);
    timing_.restartMs = std::max(timing_.restartMs, 0);
}

std::uint64_t SimKeyboard::reportsTaken() const {
    std::lock_guard lock(mutex_);
    return reportsTaken_;
}

std::uint64_t SimKeyboard::changeCount() const {
    std::lock_guard lock(mutex_);
    return changes_;
}

std::vector<std::uint8_t> SimKeyboard::slot(int s) const {
    std::lock_guard lock(mutex_);
    if (s < 0 || s >= kSlots)
        return {};
    return slots_[static_cast<std::size_t>(s)];
}

std::array<std::uint8_t, SimKeyboard::kLightBytes> SimKeyboard::light() const {
    std::lock_guard lock(mutex_);
    return light_;
}

std::array<std::uint32_t, SimKeyboard::kKeys> SimKeyboard::counters() const {
    std::lock_guard lock(mutex_);
    return counters_;
}

void SimKeyboard::setCounters(const std::array<std::uint32_t, kKeys>& counters) {
    std::lock_guard lock(mutex_);
    counters_ = counters;
    ++changes_;
}

bool SimKeyboard::setCounter(int key, std::uint32_t value) {
    if (key < 1 || key > kKeys)
        return false;
    std::lock_guard lock(mutex_);
    counters_[static_cast<std::size_t>(key - 1)] = value;
    ++changes_;
    return true;
}

SimKeyboard::FirmwareStatus SimKeyboard::firmware() const {
    std::lock_guard lock(mutex_);
    return firmware_;
}

LinkEvent SimKeyboard::handleReport(const Report& out, std::vector<Report>& replies) {
    std::lock_guard lock(mutex_);
    ++reportsTaken_;
    if (faults_.silent || (faults_.silentAfter > 0 && reportsTaken_ > faults_.silentAfter))
        return LinkEvent::None;
    std::vector<Report> answer;
    LinkEvent event = LinkEvent::None;
    dispatch(out, answer, event);
    if (faults_.disconnectAfter > 0 && reportsTaken_ == faults_.disconnectAfter)
        return LinkEvent::Disconnect; // the cable goes as the report arrives: its answer is lost
    for (auto& reply : answer) {
        ++repliesSent_;
        if (faults_.garbageEvery > 0 && repliesSent_ % faults_.garbageEvery == 0)
            reply = garbageReply(repliesSent_);
        replies.push_back(reply);
    }
    return event;
}

void SimKeyboard::dispatch(const Report& out, std::vector<Report>& replies, LinkEvent& event) {
    const std::uint8_t code = out[kCommandByte];
    for (const auto& command : kCommands)
        if (command.code == code) {
            event = (this->*command.handler)(out, replies);
            return;
        }
    // Reports the keyboard does not know are taken without an answer.
}

LinkEvent SimKeyboard::onVersionRead(const Report&, std::vector<Report>& replies) {
    Report reply = replyWithCode(CMD_VERSION_READ);
    // r[2] is report byte 3.
    std::copy(version_.begin(), version_.end(), reply.begin() + 1 + kVersionOffset);
    replies.push_back(reply);
    return LinkEvent::None;
}

// Key definitions ------------------------------------------------------------

LinkEvent SimKeyboard::onKeysBegin(const Report&, std::vector<Report>&) {
    keyWrite_.emplace(); // a begin in the middle of a write starts it over
    return LinkEvent::None;
}

LinkEvent SimKeyboard::onKeyRecord(const Report& out, std::vector<Report>&) {
    if (!keyWrite_)
        return LinkEvent::None; // a block outside a write belongs to nothing
    KeyWrite& write = *keyWrite_;
    const std::uint8_t* block = out.data() + 1;
    if (write.macroBlocksLeft > 0) {
        if (sameMacroHeader(write.macroBlocks.data(), block)) {
            write.macroBlocks.insert(write.macroBlocks.end(), block, block + kBlockBytes);
            if (--write.macroBlocksLeft == 0)
                write.slots[static_cast<std::size_t>(write.macroSlot)] =
                    std::move(write.macroBlocks);
            return LinkEvent::None;
        }
        // The macro stopped short of the blocks its header promised: it is
        // not stored, so that a read never hands out half a record.
        write.macroBlocksLeft = 0;
        write.macroBlocks.clear();
    }
    const int s = slotOfBlock(block);
    if (s < 0)
        return LinkEvent::None; // names no slot or record class: skipped
    const std::size_t blocks = blocksOfRecord(block);
    std::vector<std::uint8_t> bytes(block, block + kBlockBytes);
    if (blocks == 1) {
        write.slots[static_cast<std::size_t>(s)] = std::move(bytes);
    } else {
        write.macroSlot = s;
        write.macroBlocksLeft = blocks - 1;
        write.macroBlocks = std::move(bytes);
    }
    return LinkEvent::None;
}

LinkEvent SimKeyboard::onKeysEnd(const Report&, std::vector<Report>&) {
    if (!keyWrite_)
        return LinkEvent::None;
    for (std::size_t s = 0; s < slots_.size(); ++s)
        if (keyWrite_->slots[s])
            slots_[s] = std::move(*keyWrite_->slots[s]);
    keyWrite_.reset();
    ++changes_;
    return LinkEvent::None;
}

LinkEvent SimKeyboard::onKeysRead(const Report&, std::vector<Report>& replies) {
    for (const auto& blocks : slots_)
        for (std::size_t at = 0; at + kBlockBytes <= blocks.size(); at += kBlockBytes) {
            Report reply{};
            std::copy_n(blocks.begin() + static_cast<std::ptrdiff_t>(at), kBlockBytes,
                        reply.begin() + 1);
            replies.push_back(reply);
        }
    replies.push_back(endReply(CMD_KEYS_END));
    return LinkEvent::None;
}

// Light area and press counters ----------------------------------------------

LinkEvent SimKeyboard::onLightBegin(const Report&, std::vector<Report>&) {
    lightWrite_.emplace();
    lightWrite_->area = light_; // a write that stops short keeps the rest
    return LinkEvent::None;
}

LinkEvent SimKeyboard::onLightData(const Report& out, std::vector<Report>&) {
    if (!lightWrite_)
        return LinkEvent::None;
    LightWrite& write = *lightWrite_;
    // n at byte 3, the bytes from byte 4: never more than the report holds
    // or the area has left.
    const std::size_t n =
        std::min<std::size_t>({out[3], out.size() - 4, kLightBytes - write.position});
    std::copy_n(out.begin() + 4, n,
                write.area.begin() + static_cast<std::ptrdiff_t>(write.position));
    write.position += n;
    return LinkEvent::None;
}

LinkEvent SimKeyboard::onLightEnd(const Report&, std::vector<Report>&) {
    if (!lightWrite_)
        return LinkEvent::None;
    light_ = lightWrite_->area;
    lightWrite_.reset();
    ++changes_;
    return LinkEvent::None;
}

namespace {

// Sends an area in pieces: r[1] = code, r[2] = n, r[3..n+2] the bytes.
void sendArea(std::uint8_t code, const std::uint8_t* area, std::size_t size,
              std::vector<Report>& replies) {
    for (std::size_t p = 0; p < size; p += kAreaPieceSize) {
        const std::size_t n = std::min(kAreaPieceSize, size - p);
        Report reply = replyWithCode(code);
        reply[3] = static_cast<std::uint8_t>(n);
        std::copy_n(area + p, n, reply.begin() + 4);
        replies.push_back(reply);
    }
    replies.push_back(endReply(CMD_LIGHT_END));
}

} // namespace

LinkEvent SimKeyboard::onLightRead(const Report&, std::vector<Report>& replies) {
    sendArea(CMD_LIGHT_DATA, light_.data(), light_.size(), replies);
    return LinkEvent::None;
}

LinkEvent SimKeyboard::onCountersRead(const Report&, std::vector<Report>& replies) {
    std::array<std::uint8_t, kCounterBytes> area{};
    for (std::size_t i = 0; i < counters_.size(); ++i)
        for (std::size_t b = 0; b < 4; ++b)
            area[4 * i + b] = static_cast<std::uint8_t>(counters_[i] >> (8 * b));
    sendArea(CMD_COUNTERS_READ, area.data(), area.size(), replies);
    return LinkEvent::None;
}

// Firmware -------------------------------------------------------------------

LinkEvent SimKeyboard::onFirmwareLine(const Report& out, std::vector<Report>&) {
    if (!firmwareOpen_) {
        firmware_ = {};
        firmwareOpen_ = true;
    }
    const std::uint8_t* record = out.data() + kLineFirst;
    const std::size_t available = out.size() - kLineFirst;
    const std::size_t length = record[0] + kRecordOverhead;
    unsigned sum = 0;
    if (length <= available)
        for (std::size_t i = 0; i < length; ++i)
            sum += record[i];
    const bool sound =
        length <= available && (sum & 0xFF) == 0 && record[kRecordType] <= kLastRecordKind;
    if (!sound) {
        ++firmware_.rejected;
        return LinkEvent::None;
    }
    ++firmware_.lines;
    if (record[kRecordType] != kRecordEndOfFile || record[0] != 0)
        return LinkEvent::None;
    // End of the image: the download is over; a sound one is taken and the
    // keyboard restarts on it, a spoilt one is thrown away.
    firmwareOpen_ = false;
    ++changes_;
    if (firmware_.rejected > 0)
        return LinkEvent::None;
    firmware_.complete = true;
    restart();
    return LinkEvent::Restart;
}

void SimKeyboard::restart() {
    if (nextVersion_)
        version_ = *nextVersion_;
    keyWrite_.reset();
    lightWrite_.reset();
}

// State ----------------------------------------------------------------------

std::string SimKeyboard::saveState() const {
    std::lock_guard lock(mutex_);
    nlohmann::json slots = nlohmann::json::array();
    for (const auto& blocks : slots_)
        slots.push_back(toHex(blocks.data(), blocks.size()));
    nlohmann::json state = {
        {"format", kStateFormat},
        {"model", modelInfo(model_).name},
        {"version", version_},
        {"slots", slots},
        {"light", toHex(light_.data(), light_.size())},
        {"counters", counters_},
        {"firmware",
         {{"lines", firmware_.lines},
          {"complete", firmware_.complete},
          {"rejected", firmware_.rejected}}},
    };
    return state.dump(2) + "\n";
}

bool SimKeyboard::loadState(const std::string& json, std::string& error) {
    nlohmann::json state = nlohmann::json::parse(json, nullptr, false);
    if (state.is_discarded() || !state.is_object()) {
        error = "not a JSON object";
        return false;
    }
    if (const auto format = state.find("format"); format != state.end()) {
        if (!format->is_number_unsigned() || format->get<std::uint64_t>() > kStateFormat) {
            error = "\"format\" " + format->dump() + " is not one this simulator reads (1 to " +
                    std::to_string(kStateFormat) + ")";
            return false;
        }
    }
    const auto model = state.find("model");
    const auto version = state.find("version");
    if (model == state.end() || !model->is_string() || version == state.end() ||
        !version->is_string()) {
        error = "\"model\" and \"version\" must be texts";
        return false;
    }
    const std::string modelName = model->get<std::string>();
    const std::string versionText = version->get<std::string>();
    if (!validVersion(versionText)) {
        error = "\"version\" is longer than 62 bytes";
        return false;
    }

    // Every other field may be left out (it then starts empty); a field that
    // is there must be whole.
    std::array<std::vector<std::uint8_t>, kSlots> slots;
    if (const auto field = state.find("slots"); field != state.end()) {
        if (!field->is_array() || field->size() != kSlots) {
            error = "\"slots\" must be a list of 208 texts";
            return false;
        }
        for (int s = 0; s < kSlots; ++s) {
            const auto& text = (*field)[static_cast<std::size_t>(s)];
            auto& bytes = slots[static_cast<std::size_t>(s)];
            if (!text.is_string() || !fromHex(text.get<std::string>(), bytes)) {
                error =
                    "\"slots\"[" + std::to_string(s) + "] is not a text of hexadecimal digit pairs";
                return false;
            }
            if (!validSlotBlocks(s, bytes, error))
                return false;
        }
    }
    std::array<std::uint8_t, kLightBytes> light{};
    if (const auto field = state.find("light"); field != state.end()) {
        std::vector<std::uint8_t> bytes;
        if (!field->is_string() || !fromHex(field->get<std::string>(), bytes) ||
            bytes.size() != kLightBytes) {
            error = "\"light\" must be a text of 624 hexadecimal digits";
            return false;
        }
        std::copy(bytes.begin(), bytes.end(), light.begin());
    }
    std::array<std::uint32_t, kKeys> counters{};
    if (const auto field = state.find("counters"); field != state.end()) {
        if (!field->is_array() || field->size() != kKeys) {
            error = "\"counters\" must be a list of 104 numbers";
            return false;
        }
        for (std::size_t i = 0; i < counters.size(); ++i) {
            const auto& value = (*field)[i];
            if (!value.is_number_unsigned() || value.get<std::uint64_t>() > 0xFFFFFFFFu) {
                error = "\"counters\"[" + std::to_string(i) +
                        "] is not a whole number from 0 to 4294967295";
                return false;
            }
            counters[i] = value.get<std::uint32_t>();
        }
    }
    FirmwareStatus firmware;
    if (const auto field = state.find("firmware"); field != state.end()) {
        const auto lines = field->is_object() ? field->find("lines") : field->end();
        const auto complete = field->is_object() ? field->find("complete") : field->end();
        const auto rejected = field->is_object() ? field->find("rejected") : field->end();
        if (!field->is_object() || lines == field->end() || !lines->is_number_unsigned() ||
            complete == field->end() || !complete->is_boolean() ||
            (rejected != field->end() && !rejected->is_number_unsigned())) {
            error = R"("firmware" must be {"lines": number, "complete": true or false})";
            return false;
        }
        firmware.lines = lines->get<std::uint64_t>();
        firmware.complete = complete->get<bool>();
        firmware.rejected = rejected != field->end() ? rejected->get<std::uint64_t>() : 0;
    }

    std::lock_guard lock(mutex_);
    if (modelName != modelInfo(model_).name) {
        error =
            "the state belongs to a " + modelName + " keyboard, not a " + modelInfo(model_).name;
        return false;
    }
    version_ = versionText;
    slots_ = std::move(slots);
    light_ = light;
    counters_ = counters;
    firmware_ = firmware;
    keyWrite_.reset();
    lightWrite_.reset();
    firmwareOpen_ = false;
    ++changes_;
    return true;
}

bool SimKeyboard::loadStateFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!loadState(text.str(), error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool SimKeyboard::saveStateFile(const std::string& path, std::string& error) const {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << saveState();
        out.flush();
        if (!out) {
            error = "cannot write " + temporary;
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace sim
