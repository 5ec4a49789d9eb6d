#include "keyarray.h"

#include "continouskeydefine.h"
#include "hwi/protocol.h"
#include "macrokeydefine.h"
#include "normalkeydefine.h"

#include <memory>
#include <vector>

using namespace hwi::protocol;

namespace hwi {

namespace {

constexpr int kFormCodes = 0;
constexpr int kFormDelayed = 1;
constexpr int kFormMacro = 2;
constexpr int kFirstMacroType = 2;
constexpr int kPlayModes = 3;

std::vector<int> slice(const int* values, int from, int n) {
    return std::vector<int>(values + from, values + from + n);
}

CKeyDefine* codesRecord(int layer, int key, const int* v, int filled) {
    if (filled < 2)
        return nullptr;
    const int n = v[1];
    if (n < 0 || n > static_cast<int>(kMaxNormalCodes) || filled < 2 + n)
        return nullptr;
    auto record = std::make_unique<CNormalKeyDefine>(key, layer);
    record->count = n;
    record->codes = slice(v, 2, n);
    return record.release();
}

CKeyDefine* delayedRecord(int layer, int key, const int* v, int filled) {
    if (filled < 3)
        return nullptr;
    const int n = v[2];
    if (n < 0 || n > static_cast<int>(kMaxContinousCodes) || filled < 3 + n)
        return nullptr;
    auto record = std::make_unique<CContinousKeyDefine>(key, layer);
    record->delay = v[1];
    record->count = n;
    record->codes = slice(v, 3, n);
    return record.release();
}

CKeyDefine* macroRecord(int layer, int key, const int* v, int filled) {
    if (filled < 6)
        return nullptr;
    const int mode = v[1];
    const int n = v[5];
    const int stepDelays = v[3];
    if (mode < 0 || mode >= kPlayModes || n < 0)
        return nullptr;
    // Elements the list takes, and the payload it makes on the wire.
    long listLength = 0;
    long payload = 0;
    if (stepDelays == 0) {
        listLength = n;
        payload = n;
    } else {
        // Any other stepDelays value carries no list but travels in the timed layout.
        listLength = stepDelays == 1 && n > 0 ? 2L * n - 1 : 0;
        payload = n > 0 ? 4L * n - 3 : 0;
    }
    if (payload > kMaxMacroPayload || filled < 6 + listLength)
        return nullptr;
    auto record = std::make_unique<CMacroKeyDefine>(key, layer);
    record->type = kFirstMacroType + mode;
    record->cycles = v[2];
    record->stepDelays = stepDelays;
    record->delay = v[4];
    record->count = n;
    record->codes.assign(static_cast<std::size_t>(n), 0);
    record->delays.assign(static_cast<std::size_t>(n), 0);
    for (int i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (stepDelays == 0) {
            record->codes[at] = v[6 + i];
        } else if (stepDelays == 1) {
            record->codes[at] = v[6 + 2 * i];
            if (i + 1 < n)
                record->delays[at] = v[7 + 2 * i];
        }
    }
    return record.release();
}

// Appends to values while it fits.
class ArrayWriter {
  public:
    ArrayWriter(int* values, int capacity) : values_(values), capacity_(capacity) {}
    void put(int value) {
        if (written_ < capacity_)
            values_[written_] = value;
        ++written_;
    }
    int written() const { return written_; }

  private:
    int* values_;
    int capacity_;
    int written_ = 0;
};

int elementsOf(const CKeyDefine* record) {
    if (!record)
        return 2;
    switch (record->type) {
    case 0:
        return 2 + static_cast<const CNormalKeyDefine*>(record)->count;
    case 1:
        return 3 + static_cast<const CContinousKeyDefine*>(record)->count;
    default: {
        const auto* macro = static_cast<const CMacroKeyDefine*>(record);
        if (macro->stepDelays == 0)
            return 6 + macro->count;
        if (macro->stepDelays == 1)
            return 6 + (macro->count > 0 ? 2 * macro->count - 1 : 0);
        return 6;
    }
    }
}

int at(const std::vector<int>& list, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < list.size() ? list[static_cast<std::size_t>(i)]
                                                               : 0;
}

} // namespace

CKeyDefine* recordFromArray(int layer, int key, const int* values, int filled) {
    if (!values || filled < 1 || layer < 1 || layer > kLayerCount || key < 1 || key > kKeyCount)
        return nullptr;
    switch (values[0]) {
    case kFormCodes:
        return codesRecord(layer, key, values, filled);
    case kFormDelayed:
        return delayedRecord(layer, key, values, filled);
    case kFormMacro:
        return macroRecord(layer, key, values, filled);
    default:
        return nullptr;
    }
}

int arrayFromRecord(const CKeyDefine* record, int* values, int capacity) {
    if (!values)
        return -1;
    const int needed = elementsOf(record);
    if (needed < 0 || needed > capacity)
        return -1;
    ArrayWriter out(values, capacity);
    if (!record) {
        out.put(kFormCodes);
        out.put(0);
        return out.written();
    }
    switch (record->type) {
    case 0: {
        const auto* r = static_cast<const CNormalKeyDefine*>(record);
        out.put(kFormCodes);
        out.put(r->count);
        for (int i = 0; i < r->count; ++i)
            out.put(at(r->codes, i));
        break;
    }
    case 1: {
        const auto* r = static_cast<const CContinousKeyDefine*>(record);
        out.put(kFormDelayed);
        out.put(r->delay);
        out.put(r->count);
        for (int i = 0; i < r->count; ++i)
            out.put(at(r->codes, i));
        break;
    }
    default: {
        const auto* r = static_cast<const CMacroKeyDefine*>(record);
        out.put(kFormMacro);
        out.put(r->type - kFirstMacroType);
        out.put(r->cycles);
        out.put(r->stepDelays);
        out.put(r->delay);
        out.put(r->count);
        for (int i = 0; i < r->count; ++i) {
            if (r->stepDelays == 0) {
                out.put(at(r->codes, i));
            } else if (r->stepDelays == 1) {
                out.put(at(r->codes, i));
                if (i + 1 < r->count)
                    out.put(at(r->delays, i));
            }
        }
        break;
    }
    }
    return out.written();
}

} // namespace hwi
