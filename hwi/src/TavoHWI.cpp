#include "hwi/TavoHWI.h"

#include "areatransfer.h"
#include "discovery.h"
#include "firmware.h"
#include "keyarray.h"
#include "keyboard.h"
#include "keytransfer.h"
#include "transport.h"

#include <algorithm>
#include <cstdint>

CTavoHWI::CTavoHWI() : m_util(nullptr), m_dev(nullptr), m_version{} {}

CTavoHWI::~CTavoHWI() {
    __closeDev();
}

CTavoHWI& CTavoHWI::operator=(const CTavoHWI& other) {
    if (this != &other)
        std::copy(std::begin(other.m_version), std::end(other.m_version), std::begin(m_version));
    return *this;
}

bool CTavoHWI::__createDev() {
    if (m_util)
        return true;
    const auto found = hwi::findKeyboardInterface();
    if (found.type == 0)
        return false;
    // The transport is kept even when the open failed: the first write then
    // fails, which callers read as "occupied".
    auto opened = platform::hidOpen(found.path);
    m_util = new CTavoUtil(opened.device.release());
    m_dev = new CTavo(m_util);
    return true;
}

bool CTavoHWI::__closeDev() {
    delete m_dev;
    m_dev = nullptr;
    delete m_util;
    m_util = nullptr;
    return true;
}

bool CTavoHWI::DetectDevice() {
    return hwi::findKeyboardInterface().type != 0;
}

int CTavoHWI::DetectDeviceType() {
    return hwi::findKeyboardInterface().type;
}

bool CTavoHWI::ReadKeyboardVersion(wchar_t* text) {
    if (!m_util || !text)
        return false;
    return m_util->readVersion(text);
}

wchar_t* CTavoHWI::getHardwareVersion() {
    if (m_util)
        m_util->readVersion(m_version);
    return m_version;
}

namespace {

bool slotOf(int layerIndex, int key, int* slot) {
    if (layerIndex < 0 || layerIndex >= hwi::protocol::kLayerCount || key < 1 ||
        key > hwi::protocol::kKeyCount)
        return false;
    *slot = layerIndex * hwi::protocol::kKeyCount + key - 1;
    return true;
}

} // namespace

bool CTavoHWI::prepare() {
    if (!m_dev)
        return false;
    for (int slot = 0; slot < hwi::protocol::kSlotCount; ++slot)
        m_dev->setSlot(slot, nullptr);
    return true;
}

bool CTavoHWI::setKeyConfiguration(int layer, int key, int* values, int count) {
    int slot = 0;
    if (!m_dev || !slotOf(layer, key, &slot))
        return false;
    CKeyDefine* record = hwi::recordFromArray(layer + 1, key, values, count);
    if (!record)
        return false;
    m_dev->setSlot(slot, record);
    return true;
}

bool CTavoHWI::getKeyConfiguration(int layer, int key, int* values, int count) {
    int slot = 0;
    if (!m_dev || !slotOf(layer, key, &slot))
        return false;
    return hwi::arrayFromRecord(m_dev->slots[static_cast<std::size_t>(slot)], values, count) >= 0;
}

bool CTavoHWI::writeKeyConfigurationToDev(HWND progress) {
    return m_dev && m_util && hwi::writeKeyDefinitions(*m_util, *m_dev, progress);
}

bool CTavoHWI::readKeyDefinationFromDev(HWND progress) {
    return m_dev && m_util && hwi::readKeyDefinitions(*m_util, *m_dev, progress);
}

bool CTavoHWI::setKeyboardLightArea(int* values) {
    if (!m_dev || !m_util || !values)
        return false;
    for (std::size_t i = 0; i < m_dev->light.size(); ++i)
        m_dev->light[i] = static_cast<unsigned char>(values[i]);
    return hwi::writeLightArea(*m_util, m_dev->light.data(), m_dev->light.size());
}

bool CTavoHWI::getKeyboardLightArea(int* values) {
    if (!m_dev || !values)
        return false;
    std::copy(m_dev->light.begin(), m_dev->light.end(), values);
    return true;
}

bool CTavoHWI::readKeyLightFromDev() {
    return m_dev && m_util &&
           hwi::readArea(*m_util, hwi::protocol::CMD_LIGHT_READ, hwi::protocol::CMD_LIGHT_DATA,
                         m_dev->light.data(), m_dev->light.size());
}

bool CTavoHWI::getPressCounterFromDev(int* counters) {
    if (!m_dev || !m_util || !counters)
        return false;
    auto& area = m_dev->counters;
    const bool received = hwi::readArea(*m_util, hwi::protocol::CMD_COUNTERS_READ,
                                        hwi::protocol::CMD_COUNTERS_READ, area.data(), area.size());
    for (int i = 0; i < hwi::protocol::kKeyCount; ++i) {
        const std::size_t at = static_cast<std::size_t>(i) * 4;
        const std::uint32_t value = area[at] | area[at + 1] << 8 | area[at + 2] << 16 |
                                    static_cast<std::uint32_t>(area[at + 3]) << 24;
        counters[i] = static_cast<int>(value);
    }
    return received;
}

bool CTavoHWI::WriteFirmwareToKeyboard(char* image, int length, HWND progress) {
    if (!m_util || !image || length <= 0)
        return false;
    return hwi::downloadFirmware(*m_util, image, static_cast<std::size_t>(length), progress);
}
