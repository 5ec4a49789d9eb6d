#include "keyboard.h"

#include "keydefine.h"

CTavo::CTavo(CTavoUtil* transport) : util(transport) {}

CTavo::~CTavo() {
    for (auto*& record : slots) {
        delete record;
        record = nullptr;
    }
}

void CTavo::setSlot(int index, CKeyDefine* record) {
    if (index < 0 || index >= hwi::protocol::kSlotCount) {
        delete record;
        return;
    }
    delete slots[static_cast<std::size_t>(index)];
    slots[static_cast<std::size_t>(index)] = record;
}
