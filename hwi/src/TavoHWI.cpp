#include "hwi/TavoHWI.h"

#include "discovery.h"
#include "keyboard.h"
#include "transport.h"

#include <algorithm>

CTavoHWI::CTavoHWI() : m_util(nullptr), m_dev(nullptr), m_version{} {}

CTavoHWI::~CTavoHWI() { __closeDev(); }

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

bool CTavoHWI::DetectDevice() { return hwi::findKeyboardInterface().type != 0; }

int CTavoHWI::DetectDeviceType() { return hwi::findKeyboardInterface().type; }

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
