// Base of the key definition records held in the slot table: what one key
// does on one layer.
#pragma once

class CKeyDefine {
  public:
    CKeyDefine(int key, int layer, int type) : key(key), layer(layer), type(type) {}
    virtual ~CKeyDefine() = default;
    CKeyDefine(const CKeyDefine&) = delete;
    CKeyDefine& operator=(const CKeyDefine&) = delete;

    // Without a buffer: stores the encoded length (a multiple of reportSize)
    // in *length and returns false. With a buffer of *length bytes: writes the
    // wire form and returns true; false (nothing written) when the buffer is
    // too small or reportSize is not the block size.
    virtual bool encode(unsigned char* buffer, int reportSize, int* length) = 0;
    // Replaces the record's contents with what totalLength bytes of its wire
    // form say (blocks of reportSize bytes). key, layer and type stay: the
    // builder sets them. Never reads past totalLength.
    virtual bool decode(const unsigned char* bytes, int reportSize, int totalLength) = 0;

    int key = 0;   // 1..104
    int layer = 0; // 1 or 2
    int type = 0;  // 0..4

  protected:
    // Bytes 0..4 of every block: 0, CMD_KEY_RECORD, layer, key, type.
    void writeHead(unsigned char* block) const;
    // The encode contract for records of one block: checks the arguments as
    // encode() describes, and on success clears the buffer, writes the head
    // and sets *length to one block.
    bool beginSingleBlock(unsigned char* buffer, int reportSize, int* length) const;
};

// The number of entries of an array that a record may use: count, but never
// below zero, beyond the array or beyond a limit of the wire form.
int usableCount(int count, int available, int limit);
