// Base of the key definition records held in the slot table: what one key
// does on one layer.
#pragma once

class CKeyDefine {
  public:
    virtual ~CKeyDefine() = default;

    // Writes the record's wire form into buffer (reports of reportSize bytes);
    // *length is the buffer size on entry and the bytes written on return.
    virtual bool encode(unsigned char* buffer, int reportSize, int* length) = 0;
    // Reads the record from its wire form of totalLength bytes.
    virtual bool decode(const unsigned char* bytes, int reportSize, int totalLength) = 0;

    int key = 0;   // 1..104
    int layer = 0; // 1 or 2
    int type = 0;  // 0..4
};
